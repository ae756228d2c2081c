// SPDX-License-Identifier: GPL-2.0-or-later
// The ticket from the keyboard and through the accessibility interface, and the result texts
// when a run ends.
#include "KdeWZugriff.h"
#include "Spielschein.h"

#include <QAccessible>
#include <QScreen>
#include <QTest>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <memory>

namespace {

QImage Bildschirm(QWidget &w)
{
    return w.screen()->grabWindow(w.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// The accessibility events the window sends, as a screen reader's bridge would get them.
struct Zuhoerer
{
    static inline QList<std::pair<QAccessible::Event, int>> ereignisse; // type, child
    static inline QList<std::pair<QObject *, int>> zeilen; // changed lines: list, row
    static inline QStringList ansagen; // what a screen reader is told without a focus change
    static inline QList<QObject *> umbenannt; // objects whose name changed
    static void Melden(QAccessibleEvent *ereignis)
    {
        ereignisse << std::pair { ereignis->type(), ereignis->child() };
        if (ereignis->type() == QAccessible::NameChanged)
            umbenannt << ereignis->object();
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        // From the window a screen reader knows, never from an object it has not met yet.
        if (ereignis->type() == QAccessible::Announcement) {
            ansagen << static_cast<QAccessibleAnnouncementEvent *>(ereignis)->message();
            const auto *quelle = qobject_cast<QWidget *>(ereignis->object());
            QVERIFY(quelle && quelle->isWindow());
        }
#else
        // A notification that appears is read out at once.
        QAccessibleInterface *quelle = ereignis->accessibleInterface();
        if (ereignis->type() == QAccessible::ObjectShow && quelle
            && quelle->role() == QAccessible::Notification)
            ansagen << quelle->text(QAccessible::Name);
#endif
        if (ereignis->type() == QAccessible::TableModelChanged) {
            const auto *aenderung = static_cast<QAccessibleTableModelChangeEvent *>(ereignis);
            if (aenderung->modelChangeType() == QAccessibleTableModelChangeEvent::DataChanged) {
                for (int zeile = aenderung->firstRow(); zeile <= aenderung->lastRow(); ++zeile)
                    zeilen << std::pair { ereignis->object(), zeile };
            }
        }
    }
    static bool Gehoert(QAccessible::Event art, int kind)
    {
        return ereignisse.contains(std::pair { art, kind });
    }
};

// The texts a result display shows of the model as it is now.
QStringList Ergebnistexte()
{
    QString zahlen;
    for (int n = 1; n <= 6; ++n)
        zahlen += QString::asprintf("%2d ", GezogeneZahl[n]);
    return { zahlen, QString::asprintf("%2d ", GezogeneZahl[7]),
        QString::asprintf("ZiehungNr:%7llu ", static_cast<unsigned long long>(ZiehungNr)),
        QString::asprintf("Jahre:%7.2f ", Jahre), QString::asprintf("Kosten:%7.2f DM", Kosten),
        QStringLiteral("Kapital bei 3 Prozent Verzinsung = %1 DM")
            .arg(QLatin1String(ExponentText(Zinseszins).text)) };
}

} // namespace

class TestTastatur : public QObject
{
    Q_OBJECT

    std::unique_ptr<KdeW> fenster;
    KdeW &w() { return *fenster; }
    KdeWZugriff zugriff() { return { *fenster }; }

    void taste(Qt::Key key) { QTest::keyClick(zugriff().schein(), key); }

    // Moves the focus from block 1 number 1 to a field, by arrow keys.
    void hin(int block, int zahl)
    {
        const int spalte = (block - 1) % 5 * 7 + (zahl - 1) % 7;
        const int zeile = (block - 1) / 5 * 7 + (zahl - 1) / 7;
        for (int i = 0; i < spalte; ++i)
            taste(Qt::Key_Right);
        for (int i = 0; i < zeile; ++i)
            taste(Qt::Key_Down);
    }

    QStringList Angezeigt()
    {
        auto z = zugriff();
        QStringList texte;
        for (int n = 1; n <= 5; ++n)
            texte << z.label(n)->text();
        return texte << z.status();
    }

private Q_SLOTS:
    void initTestCase()
    {
        // As a screen reader's bridge does when a client listens (Qt's own tests do the same).
        QAccessible::installUpdateHandler(Zuhoerer::Melden);
        QPlatformAccessibility *plattform
            = QGuiApplicationPrivate::platformIntegration()->accessibility();
        QVERIFY(plattform);
        plattform->setActive(true);
        QVERIFY(QAccessible::isActive());
    }
    void init()
    {
        Zufall.saeen(31415);
        fenster = NeuesFenster();
        QVERIFY(QTest::qWaitForWindowExposed(fenster.get()));
        fenster->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fenster.get()));
        Zuhoerer::ereignisse.clear();
        Zuhoerer::ansagen.clear();
        Zuhoerer::umbenannt.clear();
    }
    void cleanup() { fenster.reset(); }

    void tabZumSchein();
    void pfeiltasten_data();
    void pfeiltasten();
    void sechsPerTastatur();
    void bildOhneFokus();
    void felderFuerScreenreader();
    void markenMelden();
    void statistikMelden();
    void laufEnde_data();
    void laufEnde();
    void schrittAnsagen();
};

void TestTastatur::tabZumSchein()
{
    auto z = zugriff();
    z.ch1()->setFocus();
    QTest::keyClick(z.ch1(), Qt::Key_Tab);
    QVERIFY(z.schein()->hasFocus());
    // The focus enters at block 1 number 1 and is the accessible focus.
    QCOMPARE(z.schein()->fokusBlock(), 1);
    QCOMPARE(z.schein()->fokusZahl(), 1);
    QVERIFY(Zuhoerer::Gehoert(QAccessible::Focus, 0));
    QAccessibleInterface *schein = QAccessible::queryAccessibleInterface(z.schein());
    QCOMPARE(schein->focusChild(), schein->child(0));
    QVERIFY(schein->child(0)->state().focused);
    // Away and back: at the field last focused.
    taste(Qt::Key_Right);
    QTest::keyClick(z.schein(), Qt::Key_Tab);
    QVERIFY(!z.schein()->hasFocus());
    QVERIFY(!schein->child(1)->state().focused);
    z.ch1()->setFocus();
    QTest::keyClick(z.ch1(), Qt::Key_Tab);
    QCOMPARE(z.schein()->fokusZahl(), 2);
    QVERIFY(schein->child(1)->state().focused);
}

void TestTastatur::pfeiltasten_data()
{
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("zahl");
    QTest::addColumn<int>("taste");
    QTest::addColumn<int>("zuBlock");
    QTest::addColumn<int>("zuZahl");
    QTest::newRow("right along the row") << 1 << 1 << int(Qt::Key_Right) << 1 << 2;
    QTest::newRow("down along the column") << 1 << 3 << int(Qt::Key_Down) << 1 << 10;
    QTest::newRow("right into the next block") << 1 << 7 << int(Qt::Key_Right) << 2 << 1;
    QTest::newRow("left into the block before") << 5 << 15 << int(Qt::Key_Left) << 4 << 21;
    QTest::newRow("down into the block below") << 3 << 45 << int(Qt::Key_Down) << 8 << 3;
    QTest::newRow("up into the block above") << 9 << 6 << int(Qt::Key_Up) << 4 << 48;
    QTest::newRow("left at the sheet's edge") << 6 << 22 << int(Qt::Key_Left) << 6 << 22;
    QTest::newRow("down at the sheet's edge") << 10 << 49 << int(Qt::Key_Down) << 10 << 49;
    QTest::newRow("up at the sheet's edge") << 2 << 4 << int(Qt::Key_Up) << 2 << 4;
    QTest::newRow("right at the sheet's edge") << 5 << 35 << int(Qt::Key_Right) << 5 << 35;
}

void TestTastatur::pfeiltasten()
{
    QFETCH(int, block);
    QFETCH(int, zahl);
    QFETCH(int, taste);
    QFETCH(int, zuBlock);
    QFETCH(int, zuZahl);
    zugriff().schein()->setFocus();
    hin(block, zahl);
    QCOMPARE(zugriff().schein()->fokusBlock(), block);
    QCOMPARE(zugriff().schein()->fokusZahl(), zahl);
    this->taste(Qt::Key(taste));
    QCOMPARE(zugriff().schein()->fokusBlock(), zuBlock);
    QCOMPARE(zugriff().schein()->fokusZahl(), zuZahl);
    QCoreApplication::processEvents();
    const QImage bild = Bildschirm(w());
    // The focus mark: inside the focused field's square only.
    const QRect feld = Spielschein::Feldquadrat(zuBlock, zuZahl);
    QCOMPARE(bild.pixel(feld.topLeft() + QPoint(2, 10)), qRgb(0, 80, 220));
    QCOMPARE(bild.pixel(feld.topLeft() + QPoint(0, 10)), qRgb(0, 0, 0));
}

// Six numbers of block 1 by arrow keys and Space, as six presses: the field message, the stake,
// the cross at once; the seventh refused; the tip list after a Step.
void TestTastatur::sechsPerTastatur()
{
    auto z = zugriff();
    z.schein()->setFocus();
    const std::pair<Qt::Key, int> schritte[] = { { Qt::Key_Space, 1 }, { Qt::Key_Right, 2 },
        { Qt::Key_Down, 9 }, { Qt::Key_Down, 16 }, { Qt::Key_Left, 15 }, { Qt::Key_Down, 22 } };
    for (const auto &[key, zahl] : schritte) {
        if (key != Qt::Key_Space)
            taste(key);
        taste(Qt::Key_Space);
        QCOMPARE(z.status(), QString::asprintf("BlockNr: 1, Zahl:%2d", zahl));
        QVERIFY(Kreuz[1][zahl]);
        QCOMPARE(Bildschirm(w()).pixel(Mitte(1, zahl) + QPoint(4, 4)), qRgb(0, 0, 0));
    }
    QCOMPARE(ZaehlerKreuze[1], 6);
    QCOMPARE(AnzahlTipBloecke, 1);
    QCOMPARE(Spielkosten, 4.0);
    taste(Qt::Key_Right);
    taste(Qt::Key_Space);
    QCOMPARE(z.status(), QStringLiteral("BlockNr: 1, Zahl:23"));
    QVERIFY(!Kreuz[1][23]);
    QCOMPARE(ZaehlerKreuze[1], 6);
    // Space on a marked field takes its cross away.
    taste(Qt::Key_Left);
    taste(Qt::Key_Space);
    QVERIFY(!Kreuz[1][22]);
    taste(Qt::Key_Space);
    z.step()->click();
    QCOMPARE(z.tippZeilen(), QStringList { QStringLiteral(" 1  2  9 15 16 22 ") });
    QCOMPARE(ZiehungNr, 1u);
    QCOMPARE(Kosten, 4.0);
}

// Without the focus the ticket looks exactly as the window paints it; with the focus only the
// focused field's square changes.
void TestTastatur::bildOhneFokus()
{
    auto z = zugriff();
    z.autoTip()->click();
    z.schein()->hide();
    QCoreApplication::processEvents();
    const QImage gemalt = Bildschirm(w()).copy(Spielschein::BEREICH);
    z.schein()->show();
    QCoreApplication::processEvents();
    QCOMPARE(Bildschirm(w()).copy(Spielschein::BEREICH), gemalt);
    z.schein()->setFocus();
    hin(7, 25);
    QCoreApplication::processEvents();
    QImage mitFokus = Bildschirm(w()).copy(Spielschein::BEREICH);
    QVERIFY(mitFokus != gemalt);
    const QRect feld = Spielschein::Feldquadrat(7, 25).translated(-Spielschein::BEREICH.topLeft());
    QPainter maler(&mitFokus);
    maler.drawImage(feld.topLeft(), gemalt.copy(feld));
    maler.end();
    QCOMPARE(mitFokus, gemalt);
    z.ch1()->setFocus();
    QCoreApplication::processEvents();
    QCOMPARE(Bildschirm(w()).copy(Spielschein::BEREICH), gemalt);
}

// Every field is a check box of its own for screen readers, and toggles as a press on it does.
void TestTastatur::felderFuerScreenreader()
{
    QAccessibleInterface *schein = QAccessible::queryAccessibleInterface(zugriff().schein());
    QVERIFY(schein);
    QCOMPARE(schein->childCount(), 490);
    for (int block = 1; block <= BLOECKE; ++block) {
        for (int zahl = 1; zahl <= ZAHLEN; ++zahl) {
            QAccessibleInterface *feld = schein->child(Scheinbedienung::Index(block, zahl));
            QCOMPARE(feld->text(QAccessible::Name),
                QStringLiteral("Block %1, Zahl %2").arg(block).arg(zahl));
            QCOMPARE(feld->role(), QAccessible::CheckBox);
            QVERIFY(feld->state().checkable && !feld->state().checked);
            QCOMPARE(feld->parent(), schein);
            QCOMPARE(schein->indexOfChild(feld), Scheinbedienung::Index(block, zahl));
            QCOMPARE(feld->rect().center(), w().mapToGlobal(Mitte(block, zahl)) - QPoint(1, 1));
        }
    }
    QCOMPARE(schein->childAt(w().mapToGlobal(Mitte(4, 30)).x(), w().mapToGlobal(Mitte(4, 30)).y()),
        schein->child(Scheinbedienung::Index(4, 30)));

    auto umschalten = [&](int block, int zahl) {
        QAccessibleInterface *feld = schein->child(Scheinbedienung::Index(block, zahl));
        QAccessibleActionInterface *aktionen = feld->actionInterface();
        QVERIFY(aktionen);
        QCOMPARE(
            aktionen->actionNames(), QStringList { QAccessibleActionInterface::toggleAction() });
        aktionen->doAction(QAccessibleActionInterface::toggleAction());
    };
    for (int zahl : { 3, 17, 20, 33, 41, 49 })
        umschalten(3, zahl);
    QCOMPARE(ZaehlerKreuze[3], 6);
    QVERIFY(schein->child(Scheinbedienung::Index(3, 17))->state().checked);
    QCOMPARE(Spielkosten, 4.0);
    QCOMPARE(zugriff().status(), QStringLiteral("BlockNr: 3, Zahl:49"));
    umschalten(3, 18); // the seventh
    QVERIFY(!Kreuz[3][18]);
    QVERIFY(!schein->child(Scheinbedienung::Index(3, 18))->state().checked);
    umschalten(3, 17);
    QVERIFY(!Kreuz[3][17]);
    QVERIFY(!schein->child(Scheinbedienung::Index(3, 17))->state().checked);
}

// A change of a mark, by mouse, quick pick or reset, reaches a screen reader as the field's
// state change.
void TestTastatur::markenMelden()
{
    QTest::mouseClick(&w(), Qt::LeftButton, {}, Mitte(2, 9));
    QVERIFY(Zuhoerer::Gehoert(QAccessible::StateChanged, Scheinbedienung::Index(2, 9)));
    Zuhoerer::ereignisse.clear();
    zugriff().autoTip()->click();
    int geaendert = 0;
    for (int block = 1; block <= BLOECKE; ++block) {
        for (int zahl = 1; zahl <= ZAHLEN; ++zahl) {
            const bool gemeldet
                = Zuhoerer::Gehoert(QAccessible::StateChanged, Scheinbedienung::Index(block, zahl));
            QCOMPARE(gemeldet, Kreuz[block][zahl] != (block == 2 && zahl == 9));
            geaendert += gemeldet;
        }
    }
    QVERIFY(geaendert >= 59);
    Zuhoerer::ereignisse.clear();
    zugriff().neuerSchein()->click();
    QVERIFY(
        Zuhoerer::Gehoert(QAccessible::StateChanged, Scheinbedienung::Index(10, GezogeneZahl[6])));
}

// A screen reader hears of every statistics line whose count changed, and of no other.
void TestTastatur::statistikMelden()
{
    auto z = zugriff();
    z.autoTip()->click();
    z.step()->click();
    for (int stapel = 0; stapel < 20; ++stapel) {
        const QStringList vorher = z.statistikZeilen();
        Zuhoerer::zeilen.clear();
        w().timerZiehungen();
        const QStringList nachher = z.statistikZeilen();
        for (int zeile = 0; zeile < nachher.size(); ++zeile) {
            const bool gemeldet
                = Zuhoerer::zeilen.contains(std::pair<QObject *, int> { z.statistik(), zeile });
            QCOMPARE(gemeldet, vorher[zeile] != nachher[zeile]);
        }
        QVERIFY(vorher[0] != nachher[0]); // three correct come up in every batch
    }
}

void TestTastatur::laufEnde_data()
{
    QTest::addColumn<QString>("weg");
    for (const char *weg :
        { "Start/Stop", "jackpot stop", "Step", "Neuer Spielschein", "Auto-Tip" })
        QTest::newRow(weg) << QString::fromLatin1(weg);
}

// However a run ends, its last texts are in place before the next event.
void TestTastatur::laufEnde()
{
    QFETCH(QString, weg);
    auto z = zugriff();
    z.autoTip()->click();
    z.startStop()->click();
    QVERIFY(Warten([&] { return ZiehungNr >= 2080; }));
    // A batch whose display waits for the next frame.
    w().timerZiehungen();
    QVERIFY(Start);
    QVERIFY(Angezeigt() != Ergebnistexte());
    // During the run a screen reader hears of no result text: faster than it could follow.
    QCOMPARE(Zuhoerer::ansagen, QStringList { QStringLiteral("Lauf gestartet bei Ziehung 0.") });
    for (int n = 1; n <= 5; ++n)
        QVERIFY(!Zuhoerer::umbenannt.contains(zugriff().label(n)));
    Zuhoerer::ansagen.clear();
    if (weg == QLatin1String("Start/Stop")) {
        z.startStop()->click();
    } else if (weg == QLatin1String("jackpot stop")) {
        // Block 1 becomes the tip of the next draw.
        Zufallsgenerator vorschau = Zufall;
        ZiehungAus(vorschau);
        const QList<int> sechs { GezogeneZahl + 1, GezogeneZahl + 7 };
        for (bool markieren : { false, true }) {
            for (int zahl = 1; zahl <= ZAHLEN; ++zahl) {
                if (Kreuz[1][zahl] != markieren && sechs.contains(zahl) == markieren)
                    QTest::mouseClick(&w(), Qt::LeftButton, {}, Mitte(1, zahl));
            }
        }
        w().timerZiehungen();
        QVERIFY(z.gewinne().sechsRichtige >= 1);
    } else if (weg == QLatin1String("Step")) {
        z.step()->click();
    } else if (weg == QLatin1String("Neuer Spielschein")) {
        z.neuerSchein()->click();
    } else {
        z.autoTip()->click();
    }
    QVERIFY(!Start);
    // Where the run ended and what it won, once; a Step says its draw, a reset nothing.
    if (weg == QLatin1String("Start/Stop") || weg == QLatin1String("jackpot stop")) {
        const QString ende
            = QStringLiteral("%1Lauf beendet bei Ziehung %2. Im Lauf gewonnen: %3 mal 3 Richtige, "
                             "%4 mal 4 Richtige")
                  .arg(weg == QLatin1String("jackpot stop") ? "6 Richtige! " : "")
                  .arg(ZiehungNr)
                  .arg(z.gewinne().dreiRichtige)
                  .arg(z.gewinne().vierRichtige);
        QVERIFY2(Zuhoerer::ansagen.size() == 1 && Zuhoerer::ansagen[0].startsWith(ende),
            qPrintable(Zuhoerer::ansagen.join('|')));
        QCOMPARE(Zuhoerer::ansagen[0].endsWith(QStringLiteral(" 1 mal 6 Richtige.")),
            weg == QLatin1String("jackpot stop"));
        QVERIFY(Zuhoerer::umbenannt.contains(z.label(3))); // and the texts as shown now
    } else {
        QVERIFY(Zuhoerer::ansagen.filter(QStringLiteral("Lauf beendet")).isEmpty());
    }
    if (ZiehungNr == 0) {
        // After a reset no frame brings the run's texts back.
        const QStringList zurueckgesetzt { QString(), QString(), QStringLiteral("ZiehungNr:0"),
            QStringLiteral("Jahre:0"), QStringLiteral("Kosten:0.0 DM") };
        QCOMPARE(Angezeigt().mid(0, 5), zurueckgesetzt);
        Ablaufen(100);
        QCOMPARE(Angezeigt().mid(0, 5), zurueckgesetzt);
        QVERIFY(z.statistikZeilen().isEmpty());
        return;
    }
    QCOMPARE(Angezeigt(), Ergebnistexte());
    QCOMPARE(z.statistikZeilen().value(0),
        QString::asprintf("Anzahl 3  Richtige:%7lld", (long long)z.gewinne().dreiRichtige));
    QCOMPARE(z.statistikZeilen().value(4),
        QString::asprintf("Anzahl 6  Richtige:%7lld", (long long)z.gewinne().sechsRichtige));
}

// After a Step a screen reader hears the draw, its number and what it won, once; the focus stays.
void TestTastatur::schrittAnsagen()
{
    auto z = zugriff();
    z.step()->setFocus();
    // Block 1 gets the six numbers of the next draw, block 2 five of them and the bonus number.
    Zufallsgenerator vorschau = Zufall;
    ZiehungAus(vorschau);
    int gezogen[8];
    std::copy(GezogeneZahl, GezogeneZahl + 8, gezogen);
    for (int n = 1; n <= 6; ++n) {
        QTest::mouseClick(&w(), Qt::LeftButton, {}, Mitte(1, gezogen[n]));
        QTest::mouseClick(&w(), Qt::LeftButton, {}, Mitte(2, gezogen[n == 6 ? 7 : n]));
    }
    Zuhoerer::umbenannt.clear();
    QTest::keyClick(z.step(), Qt::Key_Space);
    QCOMPARE(ZiehungNr, 1u);
    QVERIFY(z.step()->hasFocus());
    QStringList zahlen;
    for (int n = 1; n <= 6; ++n)
        zahlen << QString::number(gezogen[n]);
    QCOMPARE(Zuhoerer::ansagen,
        QStringList { QStringLiteral("Ziehung 1: %1, Zusatzzahl %2. 1 mal 5 Richtige mit "
                                     "Zusatzzahl, 1 mal 6 Richtige.")
                          .arg(zahlen.join(QStringLiteral(", ")))
                          .arg(gezogen[7]) });
    for (int n = 1; n <= 5; ++n)
        QVERIFY(Zuhoerer::umbenannt.contains(z.label(n)));
    QCOMPARE(QAccessible::queryAccessibleInterface(z.label(1))->text(QAccessible::Name),
        z.label(1)->text());
    // A draw without a win says so. What is said is never shown.
    QVERIFY(!w().findChild<Ansage *>()->isVisible());
    Zuhoerer::ansagen.clear();
    z.neuerSchein()->click();
    z.step()->click();
    QCOMPARE(Zuhoerer::ansagen.size(), 1);
    QVERIFY(Zuhoerer::ansagen[0].startsWith(QStringLiteral("Ziehung 1: ")));
    QVERIFY(Zuhoerer::ansagen[0].endsWith(QStringLiteral(". Kein Gewinn.")));
    // The lists say what they hold.
    QCOMPARE(QAccessible::queryAccessibleInterface(z.statistik())->text(QAccessible::Name),
        QStringLiteral("Gewinnstatistik"));
    QCOMPARE(QAccessible::queryAccessibleInterface(z.tipps())->text(QAccessible::Name),
        QStringLiteral("Tipps des Spielscheins"));
}

QTEST_MAIN(TestTastatur)
#include "tst_tastatur.moc"
