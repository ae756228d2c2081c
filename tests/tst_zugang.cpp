// SPDX-License-Identifier: GPL-2.0-or-later
// What the desktop and screen readers see of the program: icon, desktop file name, and every
// control's text and actions through Qt's accessibility interface.
#include "KdeWZugriff.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

QAccessibleInterface *Zugang(QObject *objekt)
{
    return QAccessible::queryAccessibleInterface(objekt);
}

// Does what a screen reader's "press" or "toggle" does.
void Ausloesen(QObject *objekt)
{
    QAccessibleInterface *zugang = Zugang(objekt);
    QVERIFY(zugang);
    QAccessibleActionInterface *aktionen = zugang->actionInterface();
    QVERIFY(aktionen);
    const QStringList namen = aktionen->actionNames();
    const QString aktion = namen.contains(QAccessibleActionInterface::toggleAction())
        ? QAccessibleActionInterface::toggleAction()
        : QAccessibleActionInterface::pressAction();
    QVERIFY2(namen.contains(aktion), qPrintable(namen.join(',')));
    // A press is shown as an animated click: it takes effect a moment later.
    QSignalSpy klick(qobject_cast<QAbstractButton *>(objekt), &QAbstractButton::clicked);
    aktionen->doAction(aktion);
    if (aktion == QAccessibleActionInterface::pressAction()) {
        Warten([&] { return klick.count() == 1; });
        QCOMPARE(klick.count(), 1);
    }
}

// Closes the info box once it is open.
void InfoBoxSchliessen(QObject *kontext)
{
    auto *warten = new QTimer(kontext);
    QObject::connect(warten, &QTimer::timeout, warten, [warten] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            QTest::keyClick(box, Qt::Key_Return);
            warten->deleteLater();
        }
    });
    warten->start(10);
}

} // namespace

class TestZugang : public QObject
{
    Q_OBJECT

    std::unique_ptr<KdeW> fenster;
    KdeW &w() { return *fenster; }
    KdeWZugriff zugriff() { return { *fenster }; }

private Q_SLOTS:
    void init()
    {
        Zufall.saeen(5);
        fenster = NeuesFenster();
        QVERIFY(QTest::qWaitForWindowExposed(fenster.get()));
    }
    void cleanup() { fenster.reset(); }

    void symbol();
    void texte_data();
    void texte();
    void listen();
    void spielschein();
    void knoepfeWieMausklick();
    void mitteImLauf();
};

void TestZugang::symbol()
{
    QVERIFY(!w().windowIcon().isNull());
    const QPixmap bild = w().windowIcon().pixmap(48, 48);
    QVERIFY(!bild.isNull());
    // The tip block's paper colour and a red number bar are there.
    const QImage pixel = bild.toImage();
    bool rot = false;
    for (int y = 0; y < pixel.height(); ++y)
        for (int x = 0; x < pixel.width(); ++x)
            rot = rot || pixel.pixelColor(x, y) == QColor(Qt::red);
    QVERIFY(rot);
}

void TestZugang::texte_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QAccessible::Role>("rolle");
    QTest::newRow("Neuer Spielschein") << "neuerSchein"
                                       << "Neuer Spielschein" << QAccessible::Button;
    QTest::newRow("Step") << "step"
                          << "Step" << QAccessible::Button;
    QTest::newRow("Start/Stop") << "startStop"
                                << "Start/Stop" << QAccessible::Button;
    QTest::newRow("Info") << "info"
                          << "Info" << QAccessible::Button;
    QTest::newRow("Auto-Tip") << "autoTip"
                              << "Auto-Tip" << QAccessible::Button;
    QTest::newRow("check box") << "ch1"
                               << "Stop bei 6-Richtige" << QAccessible::CheckBox;
    QTest::newRow("Label3") << "label3"
                            << "ZiehungNr:0" << QAccessible::StaticText;
    QTest::newRow("Label4") << "label4"
                            << "Jahre:0" << QAccessible::StaticText;
    QTest::newRow("Label5") << "label5"
                            << "Kosten:0.0 DM" << QAccessible::StaticText;
}

void TestZugang::texte()
{
    QFETCH(QString, widget);
    QFETCH(QString, name);
    QFETCH(QAccessible::Role, rolle);
    auto z = zugriff();
    const QHash<QString, QWidget *> widgets {
        { "neuerSchein", z.neuerSchein() },
        { "step", z.step() },
        { "startStop", z.startStop() },
        { "info", z.info() },
        { "autoTip", z.autoTip() },
        { "ch1", z.ch1() },
        { "label3", z.label(3) },
        { "label4", z.label(4) },
        { "label5", z.label(5) },
    };
    QAccessibleInterface *zugang = Zugang(widgets.value(widget));
    QVERIFY(zugang);
    QCOMPARE(zugang->role(), rolle);
    QCOMPARE(zugang->text(QAccessible::Name), name);
    QVERIFY(zugang->parent() && zugang->parent()->object() == &w());
}

void TestZugang::listen()
{
    auto z = zugriff();
    QTest::mouseClick(&w(), Qt::LeftButton, {}, QPoint(FeldXk[2][7], FeldYk[2][7]));
    z.step()->click();
    // The labels and both lists read out what they show after a draw.
    QCOMPARE(Zugang(z.label(3))->text(QAccessible::Name), QStringLiteral("ZiehungNr:      1 "));
    QCOMPARE(Zugang(z.label(1))->text(QAccessible::Name), z.label(1)->text());
    for (QListWidget *liste : { z.statistik(), z.tipps() }) {
        QAccessibleInterface *zugang = Zugang(liste);
        QVERIFY(zugang);
        QCOMPARE(zugang->role(), QAccessible::List);
        QCOMPARE(zugang->childCount(), liste->count());
        for (int i = 0; i < liste->count(); ++i)
            QCOMPARE(zugang->child(i)->text(QAccessible::Name), liste->item(i)->text());
    }
    QCOMPARE(Zugang(z.tipps())->child(0)->text(QAccessible::Name), QStringLiteral(" 7 "));
    QCOMPARE(Zugang(z.statistik())->child(4)->text(QAccessible::Name),
        QStringLiteral("Anzahl 6  Richtige:      0"));
}

void TestZugang::spielschein()
{
    QAccessibleInterface *fensterZugang = Zugang(&w());
    QAccessibleInterface *schein = nullptr;
    for (int i = 0; i < fensterZugang->childCount(); ++i) {
        if (fensterZugang->child(i)->text(QAccessible::Name) == QStringLiteral("Spielschein"))
            schein = fensterZugang->child(i);
    }
    QVERIFY(schein);
    QCOMPARE(schein->rect().size(), QSize(740, 290));
    QVERIFY(schein->text(QAccessible::Description).contains(QStringLiteral("Nichts angekreuzt")));
    for (int zahl : { 33, 5, 12 })
        QTest::mouseClick(&w(), Qt::LeftButton, {}, QPoint(FeldXk[3][zahl], FeldYk[3][zahl]));
    QTest::mouseClick(&w(), Qt::LeftButton, {}, QPoint(FeldXk[10][49], FeldYk[10][49]));
    QVERIFY(Kreuz[3][33]); // presses go through it to the ticket
    QVERIFY2(schein->text(QAccessible::Description)
                 .endsWith(QStringLiteral("Angekreuzt: Block 3: 5, 12, 33; Block 10: 49.")),
        qPrintable(schein->text(QAccessible::Description)));
    zugriff().neuerSchein()->click();
    QVERIFY(schein->text(QAccessible::Description).contains(QStringLiteral("Nichts angekreuzt")));
}

void TestZugang::knoepfeWieMausklick()
{
    auto z = zugriff();
    Ausloesen(z.autoTip());
    QCOMPARE(AnzahlTipBloecke, 10);
    Ausloesen(z.step());
    QCOMPARE(ZiehungNr, 1u);
    QCOMPARE(z.label(3)->text(), QStringLiteral("ZiehungNr:      1 "));
    Ausloesen(z.ch1());
    QVERIFY(!z.ch1()->isChecked());
    QVERIFY(!z.sechsRichtigeStop());
    Ausloesen(z.ch1());
    QVERIFY(z.sechsRichtigeStop());
    Ausloesen(z.neuerSchein());
    QCOMPARE(ZiehungNr, 0u);
    QCOMPARE(AnzahlTipBloecke, 0);

    // The info box opens as from a click and changes nothing.
    InfoBoxSchliessen(this);
    Ausloesen(z.info());
    QCOMPARE(ZiehungNr, 0u);
}

void TestZugang::mitteImLauf()
{
    auto z = zugriff();
    Ausloesen(z.autoTip());
    Ausloesen(z.ch1()); // no stop at a six
    Ausloesen(z.startStop());
    QVERIFY(Start);
    QVERIFY(z.timer()->isActive());
    QVERIFY(Warten([&] { return ZiehungNr >= 1040; }));
    // The jackpot stop can be switched during the run, as by a click.
    Ausloesen(z.ch1());
    QVERIFY(z.sechsRichtigeStop());
    QVERIFY(Start);
    Ausloesen(z.ch1());
    QVERIFY(!z.sechsRichtigeStop());
    // "Step" in the middle of a run ends it with one more draw.
    Ausloesen(z.step());
    QVERIFY(!Start);
    QVERIFY(!z.timer()->isActive());
    QCOMPARE(ZiehungNr % 520, 1u);
    const std::uint64_t nr = ZiehungNr;
    Ablaufen(20);
    QCOMPARE(ZiehungNr, nr);
    Ausloesen(z.startStop());
    QVERIFY(Warten([&] { return ZiehungNr >= nr + 520; }));
    Ausloesen(z.startStop());
    QVERIFY(!Start);
    const std::uint64_t gestoppt = ZiehungNr;
    Ablaufen(20);
    QCOMPARE(ZiehungNr, gestoppt);
    // "Auto-Tip" in a run ends it and starts afresh.
    Ausloesen(z.startStop());
    QVERIFY(Warten([&] { return ZiehungNr > gestoppt; }));
    Ausloesen(z.autoTip());
    QVERIFY(!Start);
    QCOMPARE(ZiehungNr, 0u);
}

QTEST_MAIN(TestZugang)
#include "tst_zugang.moc"
