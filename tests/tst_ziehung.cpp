// SPDX-License-Identifier: GPL-2.0-or-later
// Draw steps, the result display, the list echo and continuous runs in the window.
#include "KdeWZugriff.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProxyStyle>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

namespace {

const QStringList NULL_STATISTIK {
    "Anzahl 3  Richtige:      0",
    "Anzahl 4  Richtige:      0",
    "Anzahl 5  Richtige:      0",
    "Anzahl 5+ Richtige:      0",
    "Anzahl 6  Richtige:      0",
};

// A desktop theme that activates list items on a single click, as KDE's does.
class EinzelklickThema : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
        QStyleHintReturn *antwort) const override
    {
        if (hint == SH_ItemView_ActivateItemOnSingleClick)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, antwort);
    }
};

} // namespace

class TestZiehung : public QObject
{
    Q_OBJECT

    std::unique_ptr<KdeW> fenster;
    KdeW &w() { return *fenster; }
    KdeWZugriff zugriff() { return { *fenster }; }

    void klick(QPoint punkt) { QTest::mouseClick(&w(), Qt::LeftButton, {}, punkt); }

    // Marks the tip of draw `nr` (counted from the current ZiehungNr on) in a block, found on a
    // copy of the generator, so that the run has its first six exactly there.
    void SechserSetzen(int block, std::uint64_t nr)
    {
        Zufallsgenerator vorschau = Zufall;
        for (std::uint64_t i = ZiehungNr + 1; i <= nr; ++i)
            ZiehungAus(vorschau);
        for (int n = 1; n <= 6; ++n)
            klick(Mitte(block, GezogeneZahl[n]));
    }

private Q_SLOTS:
    void init()
    {
        Zufall.saeen(27182818);
        fenster = NeuesFenster();
        QVERIFY(QTest::qWaitForWindowExposed(fenster.get()));
    }
    void cleanup() { fenster.reset(); }

    void ersteSchritte();
    void schrittOhneEinsatz();
    void schrittOhneKreuze();
    void jahrNach52Schritten();
    void ergebnistexte();
    void tippliste();
    void statistikMitNullen();
    void statistikZaehlt();
    void listenzeileImStatus_data();
    void listenzeileImStatus();
    void einfacherKlickAktiviertNicht();
    void ersterStapel();
    void stapelNachDreiSchritten();
    void sechserStopptLauf();
    void sechserOhneStop();
    void schrittBeendetLauf();
    void stopZiehtNichtsMehr();
    void resetBeendetLauf();
    void laufMitTimer();
    void laufMaltHoechstensEinBildProFrame();
    void kapitalUnendlich();
    void zaehlerJenseits32Bit();
};

void TestZiehung::ersteSchritte()
{
    auto z = zugriff();
    klick(Mitte(1, 1));
    QCOMPARE(Spielkosten, 4.0);
    z.step()->click();
    QCOMPARE(z.label(3)->text(), QStringLiteral("ZiehungNr:      1 "));
    QCOMPARE(z.label(4)->text(), QStringLiteral("Jahre:   0.02 "));
    QCOMPARE(z.label(5)->text(), QStringLiteral("Kosten:   4.00 DM"));
    QCOMPARE(z.status(), QStringLiteral("Kapital bei 3 Prozent Verzinsung = 4.000000E+00 DM"));
    QCOMPARE(z.label(1)->text().size(), 18);
    QCOMPARE(z.label(2)->text().size(), 3);
    QCOMPARE(z.statistikZeilen().size(), 5);
    QCOMPARE(z.tippZeilen(), QStringList { QStringLiteral(" 1 ") });
    z.step()->click();
    QCOMPARE(z.label(3)->text(), QStringLiteral("ZiehungNr:      2 "));
    QCOMPARE(z.label(5)->text(), QStringLiteral("Kosten:   8.00 DM"));
    QCOMPARE(z.status(), QStringLiteral("Kapital bei 3 Prozent Verzinsung = 8.002308E+00 DM"));
    QVERIFY(!z.timer()->isActive());
    QVERIFY(!Start);
}

void TestZiehung::schrittOhneEinsatz()
{
    // No press since the reset: the stake is still 0, so nothing is booked.
    zugriff().step()->click();
    QCOMPARE(zugriff().label(5)->text(), QStringLiteral("Kosten:   0.00 DM"));
    QCOMPARE(
        zugriff().status(), QStringLiteral("Kapital bei 3 Prozent Verzinsung = 0.000000E+00 DM"));
    QCOMPARE(ZiehungNr, 1u);
}

void TestZiehung::schrittOhneKreuze()
{
    klick(QPoint(700, 470));
    zugriff().step()->click();
    zugriff().step()->click();
    QCOMPARE(zugriff().label(5)->text(), QStringLiteral("Kosten:   5.00 DM"));
    QCOMPARE(zugriff().tipps()->count(), 0);
    QCOMPARE(zugriff().statistikZeilen(), NULL_STATISTIK);
    QVERIFY(!zugriff().label(1)->text().isEmpty());
}

void TestZiehung::jahrNach52Schritten()
{
    zugriff().autoTip()->click();
    for (int i = 0; i < 52; ++i)
        zugriff().step()->click();
    QCOMPARE(zugriff().label(4)->text(), QStringLiteral("Jahre:   1.00 "));
    QCOMPARE(zugriff().label(5)->text(), QStringLiteral("Kosten: 910.00 DM"));
    QCOMPARE(
        zugriff().status(), QStringLiteral("Kapital bei 3 Prozent Verzinsung = 9.235171E+02 DM"));
}

void TestZiehung::ergebnistexte()
{
    const int ziehung[] = { 0, 3, 17, 22, 31, 40, 49, 7 };
    for (int n = 1; n <= 7; ++n)
        GezogeneZahl[n] = static_cast<signed char>(ziehung[n]);
    ZiehungNr = 1234567;
    Jahre = 1234567 / 52.0;
    Kosten = 21604922.5;
    Zinseszins = Erweitert::groesstes(); // beyond double, also where long double is one
    zugriff().ergebnisanzeige();
    auto z = zugriff();
    QCOMPARE(z.label(1)->text(), QStringLiteral(" 3 17 22 31 40 49 "));
    QCOMPARE(z.label(2)->text(), QStringLiteral(" 7 "));
    QCOMPARE(z.label(3)->text(), QStringLiteral("ZiehungNr:1234567 "));
    QCOMPARE(z.label(4)->text(), QStringLiteral("Jahre:23741.67 "));
    QCOMPARE(z.label(5)->text(), QStringLiteral("Kosten:21604922.50 DM"));
    QCOMPARE(z.status(), QStringLiteral("Kapital bei 3 Prozent Verzinsung = 1.189731E+4932 DM"));
}

void TestZiehung::tippliste()
{
    for (int zahl : { 33, 5, 12 })
        klick(Mitte(1, zahl));
    for (int zahl = 1; zahl <= 6; ++zahl)
        klick(Mitte(3, zahl));
    zugriff().step()->click();
    const QStringList erwartet { QStringLiteral(" 5 12 33 "),
        QStringLiteral(" 1  2  3  4  5  6 ") };
    QCOMPARE(zugriff().tippZeilen(), erwartet);
    // The list shows the ticket as of the last step or start/stop click, not as marked since.
    klick(Mitte(2, 49));
    QCOMPARE(zugriff().tippZeilen(), erwartet);
    zugriff().startStop()->click();
    zugriff().startStop()->click();
    const QStringList danach { erwartet[0], QStringLiteral("49 "), erwartet[1] };
    QCOMPARE(zugriff().tippZeilen(), danach);
    // Each step shows the ticket's tips once, in place of what the list held.
    zugriff().step()->click();
    zugriff().step()->click();
    QVERIFY2(zugriff().tippZeilen() == danach,
        qPrintable(QStringLiteral("after two more steps the tip list shows \"%1\"")
                       .arg(zugriff().tippZeilen().join(QStringLiteral("\", \"")))));
}

void TestZiehung::statistikMitNullen()
{
    klick(Mitte(1, 1));
    zugriff().step()->click();
    QCOMPARE(zugriff().statistikZeilen(), NULL_STATISTIK);
    // All five lines fit the list without scrolling, and the status line its one line.
    QListWidget *liste = zugriff().statistik();
    QCOMPARE(liste->verticalScrollBar()->maximum(), 0);
    QVERIFY(liste->visualItemRect(liste->item(4)).bottom() < liste->viewport()->height());
    QVERIFY(zugriff().statusbar()->fontMetrics().height() <= zugriff().statusbar()->height());
}

void TestZiehung::statistikZaehlt()
{
    auto z = zugriff();
    z.gewinne() = { 1234567, 89, 3, 2, 1 };
    w().ZeigeAnzahlRichtige();
    const QStringList erwartet { "Anzahl 3  Richtige:1234567", "Anzahl 4  Richtige:     89",
        "Anzahl 5  Richtige:      3", "Anzahl 5+ Richtige:      2", "Anzahl 6  Richtige:      1" };
    QCOMPARE(z.statistikZeilen(), erwartet);
    // Counters past the 32-bit range are shown whole.
    z.gewinne().dreiRichtige = 12'345'678'901;
    w().ZeigeAnzahlRichtige();
    QCOMPARE(z.statistikZeilen().value(0), QStringLiteral("Anzahl 3  Richtige:12345678901"));
    QCOMPARE(z.statistik()->count(), 5);
}

void TestZiehung::listenzeileImStatus_data()
{
    QTest::addColumn<bool>("statistik");
    QTest::addColumn<int>("zeile");
    QTest::addColumn<bool>("tastatur");
    QTest::newRow("tip line 1, double click") << false << 1 << false;
    QTest::newRow("tip line 0, Return") << false << 0 << true;
    QTest::newRow("statistics line 4, double click") << true << 4 << false;
    QTest::newRow("statistics line 3, Return") << true << 3 << true;
}

void TestZiehung::listenzeileImStatus()
{
    QFETCH(bool, statistik);
    QFETCH(int, zeile);
    QFETCH(bool, tastatur);
    klick(Mitte(1, 8));
    klick(Mitte(4, 9));
    zugriff().step()->click();
    QListWidget *liste = statistik ? zugriff().statistik() : zugriff().tipps();
    const QString text = liste->item(zeile)->text();
    QElapsedTimer seit;
    seit.start();
    if (tastatur) {
        liste->setFocus();
        liste->setCurrentRow(zeile);
        QTest::keyClick(liste, Qt::Key_Return);
    } else {
        const QPoint p = liste->visualItemRect(liste->item(zeile)).center();
        QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(liste->viewport(), Qt::LeftButton, {}, p);
    }
    QCOMPARE(zugriff().status(), text);
    if (statistik && zeile == 4)
        QVERIFY(text.startsWith(QStringLiteral("Anzahl 6  Richtige:")));
    // Two seconds by the status bar's coarse timer: 1900 to 2100 ms.
    const qint64 weg = MeldungWeg(zugriff().statusbar(), seit, 2200);
    QVERIFY2(weg >= 1900, qPrintable(QStringLiteral("gone after %1 ms").arg(weg)));
}

void TestZiehung::einfacherKlickAktiviertNicht()
{
    cleanup();
    auto *thema = new EinzelklickThema;
    QApplication::setStyle(thema);
    init();
    klick(Mitte(1, 8));
    zugriff().step()->click();
    QListWidget *liste = zugriff().statistik();
    const QPoint p = liste->visualItemRect(liste->item(2)).center();
    QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, p);
    QVERIFY(zugriff().status().startsWith(QStringLiteral("Kapital")));
    QTest::mouseDClick(liste->viewport(), Qt::LeftButton, {}, p);
    QCOMPARE(zugriff().status(), QStringLiteral("Anzahl 5  Richtige:      0"));
    cleanup();
    QApplication::setStyle(QStringLiteral("Fusion"));
}

void TestZiehung::ersterStapel()
{
    auto z = zugriff();
    z.autoTip()->click();
    z.ch1()->click();
    QVERIFY(!z.sechsRichtigeStop());
    z.startStop()->click();
    QVERIFY(z.timer()->isActive());
    QCOMPARE(z.timer()->interval(), 1);
    QVERIFY(!z.timer()->isSingleShot());
    QCOMPARE(z.timer()->timerType(), Qt::PreciseTimer);
    QVERIFY(Start);
    QCOMPARE(ZiehungNr, 0u); // the click itself draws nothing
    QCOMPARE(z.tipps()->count(), 10);
    w().timerZiehungen();
    // The texts follow with the next frame.
    QCOMPARE(z.label(3)->text(), QStringLiteral("ZiehungNr:0"));
    z.naechstesBild();
    QCOMPARE(z.label(3)->text(), QStringLiteral("ZiehungNr:    520 "));
    QCOMPARE(z.label(4)->text(), QStringLiteral("Jahre:  10.00 "));
    QCOMPARE(z.label(5)->text(), QStringLiteral("Kosten:9100.00 DM"));
    QCOMPARE(z.status(), QStringLiteral("Kapital bei 3 Prozent Verzinsung = 1.060884E+04 DM"));
    QCOMPARE(z.statistik()->count(), 5);
    w().timerZiehungen();
    QCOMPARE(ZiehungNr, 1040u);
    z.naechstesBild();
    QCOMPARE(z.label(4)->text(), QStringLiteral("Jahre:  20.00 "));
}

void TestZiehung::stapelNachDreiSchritten()
{
    zugriff().autoTip()->click();
    for (int i = 0; i < 3; ++i)
        zugriff().step()->click();
    zugriff().ch1()->click();
    zugriff().startStop()->click();
    w().timerZiehungen();
    QCOMPARE(ZiehungNr, 520u);
    QCOMPARE(Kosten, 520 * 17.5);
}

void TestZiehung::sechserStopptLauf()
{
    auto z = zugriff();
    SechserSetzen(4, 700);
    QVERIFY(z.sechsRichtigeStop());
    z.startStop()->click();
    w().timerZiehungen();
    QCOMPARE(ZiehungNr, 520u);
    QVERIFY(Start);
    w().timerZiehungen();
    QCOMPARE(z.label(3)->text(), QStringLiteral("ZiehungNr:    700 "));
    QCOMPARE(z.statistikZeilen().value(4), QStringLiteral("Anzahl 6  Richtige:      1"));
    QVERIFY(!Start);
    QVERIFY(!z.timer()->isActive());
    QCOMPARE(Kosten, 700 * 4.0);
    QString ziehung;
    for (int n = 1; n <= 6; ++n)
        ziehung += QString::asprintf("%2d ", GezogeneZahl[n]);
    QCOMPARE(z.label(1)->text(), ziehung);

    // Started again, the run goes on from 700, and a six in a batch's first draw ends it there.
    SechserSetzen(5, 701);
    z.startStop()->click();
    w().timerZiehungen();
    QCOMPARE(ZiehungNr, 701u);
    QVERIFY(!Start);
    z.startStop()->click();
    w().timerZiehungen();
    QCOMPARE(ZiehungNr, 1040u);
    QVERIFY(Start);
}

void TestZiehung::sechserOhneStop()
{
    auto z = zugriff();
    SechserSetzen(2, 300);
    z.ch1()->click();
    z.startStop()->click();
    w().timerZiehungen();
    QCOMPARE(ZiehungNr, 520u);
    QVERIFY(z.gewinne().sechsRichtige >= 1);
    QVERIFY(Start);
    QVERIFY(z.timer()->isActive());
    // Switched on again, it applies from the next draw on.
    z.ch1()->click();
    QVERIFY(z.sechsRichtigeStop());
    w().timerZiehungen();
    QVERIFY(Start);
}

void TestZiehung::schrittBeendetLauf()
{
    auto z = zugriff();
    z.autoTip()->click();
    z.startStop()->click();
    w().timerZiehungen();
    z.step()->click();
    QVERIFY(!Start);
    QVERIFY(!z.timer()->isActive());
    QCOMPARE(ZiehungNr, 521u);
    QCOMPARE(z.label(3)->text(), QStringLiteral("ZiehungNr:    521 "));
    z.startStop()->click();
    QVERIFY(Start);
    QVERIFY(z.timer()->isActive());
}

void TestZiehung::stopZiehtNichtsMehr()
{
    auto z = zugriff();
    z.autoTip()->click();
    z.ch1()->click();
    z.startStop()->click();
    QVERIFY(Warten([&] { return ZiehungNr >= 1040; }));
    z.startStop()->click();
    QVERIFY(!Start);
    QVERIFY(!z.timer()->isActive());
    const std::uint64_t nr = ZiehungNr;
    QCOMPARE(nr % 520, 0u);
    const QString status = z.status();
    const QStringList statistik = z.statistikZeilen();
    const QString kosten = z.label(5)->text();
    Ablaufen(50);
    QCOMPARE(ZiehungNr, nr);
    QCOMPARE(z.label(3)->text(), QString::asprintf("ZiehungNr:%7llu ", (unsigned long long)nr));
    QCOMPARE(z.label(5)->text(), kosten);
    QCOMPARE(z.status(), status);
    QCOMPARE(z.statistikZeilen(), statistik);
    QCOMPARE(z.tipps()->count(), 10);
}

void TestZiehung::resetBeendetLauf()
{
    auto z = zugriff();
    z.autoTip()->click();
    z.startStop()->click();
    QVERIFY(Warten([&] { return ZiehungNr >= 520; }));
    z.neuerSchein()->click();
    QVERIFY(!Start);
    QVERIFY(!z.timer()->isActive());
    QVERIFY(z.ch1()->isChecked());
    Ablaufen(20);
    QCOMPARE(ZiehungNr, 0u);
    z.startStop()->click();
    QVERIFY(Start);
}

void TestZiehung::laufMitTimer()
{
    auto z = zugriff();
    z.autoTip()->click();
    z.ch1()->click();
    z.startStop()->click();
    QVERIFY(Warten([&] { return ZiehungNr >= 520 * 20; }));
    QVERIFY(Start);
    // Marks change while the run goes on; the stake applies from the next batch.
    int frei = 1;
    while (Kreuz[1][frei])
        ++frei;
    for (int zahl = 1; zahl <= ZAHLEN; ++zahl) {
        if (Kreuz[1][zahl])
            klick(Mitte(1, zahl));
    }
    QCOMPARE(Spielkosten, 16.0);
    const std::uint64_t nr = ZiehungNr;
    const double kosten = Kosten;
    QVERIFY(Warten([&] { return ZiehungNr >= nr + 520 * 5; }));
    z.startStop()->click();
    QCOMPARE(Kosten, kosten + 16.0 * double(ZiehungNr - nr));
}

namespace {
struct Malzaehler : QObject
{
    int bilder = 0;
    bool eventFilter(QObject *, QEvent *ereignis) override
    {
        bilder += ereignis->type() == QEvent::Paint;
        return false;
    }
};
} // namespace

// The texts change with every batch, but the window paints them at most once per screen frame;
// a pressed field shows at once all the same, and the last batch is on screen after the run.
void TestZiehung::laufMaltHoechstensEinBildProFrame()
{
    auto z = zugriff();
    z.autoTip()->click();
    z.ch1()->click();
    Malzaehler zaehler;
    z.label(3)->installEventFilter(&zaehler);
    // 300 batches, in an event loop as the program's own (QTest's waits sleep between rounds).
    QEventLoop schleife;
    int stapel = 0;
    connect(z.timer(), &QTimer::timeout, &schleife, [&] {
        if (++stapel == 300)
            schleife.quit();
    });
    QElapsedTimer uhr;
    uhr.start();
    z.startStop()->click();
    schleife.exec();
    // Frames follow a frame's time apart at the soonest, however slow the machine; on a quiet one
    // far fewer than the 300 batches.
    const qint64 ms = uhr.elapsed();
    const int bildabstand = 1000 / std::clamp(int(w().screen()->refreshRate()), 30, 240);
    QVERIFY2(zaehler.bilder >= 1 && zaehler.bilder <= ms / bildabstand + 2,
        qPrintable(QStringLiteral("%1 frames in %2 ms").arg(zaehler.bilder).arg(ms)));

    int markiert = 1;
    while (!Kreuz[9][markiert])
        ++markiert;
    klick(Mitte(9, markiert));
    QVERIFY(Start);
    const QImage bild = w().screen()->grabWindow(w().winId()).toImage();
    const QPoint m = Mitte(9, markiert);
    QCOMPARE(bild.pixel(m + QPoint(-7, -7)), qRgb(255, 255, 255)); // the cross is gone at once

    z.startStop()->click();
    const QString zaehlerText = z.label(3)->text();
    QCOMPARE(zaehlerText, QString::asprintf("ZiehungNr:%7llu ", (unsigned long long)ZiehungNr));
    const QImage gemalt = z.label(3)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const auto bildschirm = [&] {
        return w().screen()->grabWindow(w().winId()).toImage().copy(z.label(3)->geometry());
    };
    QVERIFY(Warten([&] { return bildschirm() == gemalt; }));
}

void TestZiehung::kapitalUnendlich()
{
    auto z = zugriff();
    z.autoTip()->click();
    z.ch1()->click();
    z.startStop()->click();
    ZiehungNr = 19'700'200; // a multiple of 520
    Kosten = 19'700'200 * 17.5;
    Zinseszins = Erweitert::ausLongDouble(Erweitert::groesstes().alsLongDouble() / 1.0005L);
    w().timerZiehungen();
    z.naechstesBild();
    QCOMPARE(z.status(), QStringLiteral("Kapital bei 3 Prozent Verzinsung = INF DM"));
    QCOMPARE(z.label(3)->text(), QStringLiteral("ZiehungNr:19700720 "));
    QCOMPARE(z.label(5)->text(), QStringLiteral("Kosten:344762600.00 DM"));
    QVERIFY(Start);
    QVERIFY(z.timer()->isActive());
    w().timerZiehungen();
    QCOMPARE(ZiehungNr, 19'701'240u);
    z.naechstesBild();
    QCOMPARE(z.status(), QStringLiteral("Kapital bei 3 Prozent Verzinsung = INF DM"));
}

void TestZiehung::zaehlerJenseits32Bit()
{
    auto z = zugriff();
    z.autoTip()->click();
    z.ch1()->click();
    z.startStop()->click();
    ZiehungNr = std::uint64_t { 1 } << 32;
    w().timerZiehungen();
    QCOMPARE(ZiehungNr, 4294967560u);
    z.naechstesBild();
    QCOMPARE(z.label(3)->text(), QStringLiteral("ZiehungNr:4294967560 "));
    QCOMPARE(z.label(4)->text(), QStringLiteral("Jahre:82595530.00 "));
}

QTEST_MAIN(TestZiehung)
#include "tst_ziehung.moc"
