// SPDX-License-Identifier: GPL-2.0-or-later
// The real window under random use: presses anywhere with any button, the buttons, the check box,
// list activations and timer ticks during runs. After every event the simulation's invariants
// must hold. A failure names its seed (LOTTO_SEED=n sets it) and the events before it; as the
// timer ticks with the clock, a rerun with the same seed may take another course.
#include "KdeWZugriff.h"

#include <QEventLoop>
#include <QTest>

#include <algorithm>
#include <memory>
#include <random>

namespace {

int Kreuze(int block)
{
    int anzahl = 0;
    for (int zahl = 1; zahl <= ZAHLEN; ++zahl)
        anzahl += Kreuz[block][zahl];
    return anzahl;
}

void Laufen(int ms)
{
    QEventLoop schleife;
    QTimer::singleShot(ms, &schleife, &QEventLoop::quit);
    schleife.exec();
}

// Closes the info box as soon as it is open.
void InfoBoxSchliessen()
{
    QTimer::singleShot(0, [] {
        if (QWidget *box = QApplication::activeModalWidget())
            QTest::keyClick(box, Qt::Key_Return);
    });
}

} // namespace

// QVERIFY2 with a message that is only built when the check fails.
#define PRUEFEN(bedingung, meldung)                                                                \
    do {                                                                                           \
        if (!(bedingung))                                                                          \
            QFAIL(meldung.constData());                                                            \
    } while (false)

class TestZufallsbedienung : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void zwanzigtausendEreignisse();
};

void TestZufallsbedienung::zwanzigtausendEreignisse()
{
    const unsigned seed = qEnvironmentVariableIsSet("LOTTO_SEED")
        ? static_cast<unsigned>(qEnvironmentVariableIntValue("LOTTO_SEED"))
        : 20261207u;
    const int ereignisse = 20'000;
    qInfo("seed %u, %d events", seed, ereignisse);
    std::mt19937 zufall(seed);
    auto wuerfel = [&](int n) { return static_cast<int>(zufall() % static_cast<unsigned>(n)); };
    Zufall.saeen(seed);

    KdeW w;
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    KdeWZugriff z { w };

    Erweitert kapital; // the capital booked alongside, draw by draw
    int ticks = 0, presses = 0;
    std::uint64_t gezogen = 0;
    QStringList verlauf;
    for (int nr = 1; nr <= ereignisse; ++nr) {
        const std::uint64_t ziehungenVorher = ZiehungNr;
        const double einsatzVorher = Spielkosten;
        const double kostenVorher = Kosten;
        const Gewinne gewinneVorher = z.gewinne();
        QString ereignis;

        const int art = wuerfel(100);
        if (art < 45) {
            const QPoint p(wuerfel(BILD_BREITE), wuerfel(BILD_HOEHE));
            const Qt::MouseButton tasten[] = { Qt::LeftButton, Qt::RightButton, Qt::MiddleButton };
            const Qt::MouseButton taste = tasten[wuerfel(3)];
            QWidget *ziel = w.childAt(p);
            if (!ziel)
                ziel = &w;
            const bool info = ziel == z.info();
            const QPoint q = ziel->mapFrom(&w, p);
            ereignis = QStringLiteral("press %1 at (%2, %3) on %4")
                           .arg(int(taste))
                           .arg(p.x())
                           .arg(p.y())
                           .arg(QString::fromLatin1(ziel->metaObject()->className()));
            QTest::mousePress(ziel, taste, {}, q);
            if (info)
                InfoBoxSchliessen();
            QTest::mouseRelease(ziel, taste, {}, q);
            if (wuerfel(10) == 0) { // the rest of a double click
                QTest::mouseDClick(ziel, taste, {}, q);
                if (info)
                    InfoBoxSchliessen();
                QTest::mouseRelease(ziel, taste, {}, q);
                ereignis += QStringLiteral(", double click");
            }
            ++presses;
        } else if (art < 62) {
            QPushButton *knoepfe[]
                = { z.neuerSchein(), z.step(), z.startStop(), z.info(), z.autoTip() };
            const int k = wuerfel(40) == 0 ? 3 : wuerfel(5);
            if (k == 3)
                InfoBoxSchliessen();
            ereignis = QStringLiteral("button ") + knoepfe[k]->text();
            knoepfe[k]->click();
        } else if (art < 63) {
            // Presses that give a block the tip of the next draw, so that sixes come up.
            const int block = 1 + wuerfel(BLOECKE);
            ereignis = QStringLiteral("six planted in block %1").arg(block);
            Zufallsgenerator vorschau = Zufall;
            const signed char merken[8]
                = { GezogeneZahl[0], GezogeneZahl[1], GezogeneZahl[2], GezogeneZahl[3],
                      GezogeneZahl[4], GezogeneZahl[5], GezogeneZahl[6], GezogeneZahl[7] };
            bool flags[50];
            std::copy(std::begin(Zahl_im_Index), std::end(Zahl_im_Index), flags);
            ZiehungAus(vorschau);
            bool naechste[50];
            std::copy(std::begin(Zahl_im_Index), std::end(Zahl_im_Index), naechste);
            std::copy(std::begin(merken), std::end(merken), GezogeneZahl);
            std::copy(std::begin(flags), std::end(flags), Zahl_im_Index);
            for (int zahl = 1; zahl <= ZAHLEN; ++zahl) {
                if (Kreuz[block][zahl] != naechste[zahl] && Kreuz[block][zahl])
                    QTest::mouseClick(
                        &w, Qt::LeftButton, {}, QPoint(FeldXk[block][zahl], FeldYk[block][zahl]));
            }
            for (int zahl = 1; zahl <= ZAHLEN; ++zahl) {
                if (naechste[zahl] && !Kreuz[block][zahl])
                    QTest::mouseClick(
                        &w, Qt::LeftButton, {}, QPoint(FeldXk[block][zahl], FeldYk[block][zahl]));
            }
            ++presses;
        } else if (art < 67) {
            ereignis = QStringLiteral("check box");
            z.ch1()->click();
        } else if (art < 75) {
            QListWidget *liste = wuerfel(2) ? z.statistik() : z.tipps();
            ereignis = QStringLiteral("list activation");
            if (liste->count() > 0) {
                const int zeile = wuerfel(liste->count());
                liste->setCurrentRow(zeile);
                if (wuerfel(2)) {
                    liste->setFocus();
                    QTest::keyClick(liste, Qt::Key_Return);
                } else {
                    const QPoint p = liste->visualItemRect(liste->item(zeile)).center();
                    QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, p);
                    QTest::mouseDClick(liste->viewport(), Qt::LeftButton, {}, p);
                    QTest::mouseRelease(liste->viewport(), Qt::LeftButton, {}, p);
                }
                const QString text = liste->item(zeile)->text();
                if (z.status() != text)
                    QFAIL(qPrintable(QStringLiteral("seed %1, event %2 (%3): status '%4'")
                                         .arg(seed)
                                         .arg(nr)
                                         .arg(ereignis, z.status())));
            }
        } else {
            ereignis = QStringLiteral("event loop for 2 ms");
            Laufen(2);
            ++ticks;
        }

        // The invariants.
        verlauf.append(ereignis);
        if (verlauf.size() > 8)
            verlauf.removeFirst();
        // Evaluated for every check, so only built into text when it is needed.
        auto fehler = [&](const QString &was) {
            return QStringLiteral("seed %1, event %2: %3; the last events: %4")
                .arg(seed)
                .arg(nr)
                .arg(was, verlauf.join(QStringLiteral("; ")))
                .toLocal8Bit();
        };
        int bloeckeMitKreuz = 0, kreuze = 0;
        for (int block = 1; block <= BLOECKE; ++block) {
            PRUEFEN(ZaehlerKreuze[block] == Kreuze(block), fehler("ZaehlerKreuze"));
            PRUEFEN(ZaehlerKreuze[block] >= 0 && ZaehlerKreuze[block] <= 6, fehler("marks"));
            bloeckeMitKreuz += ZaehlerKreuze[block] > 0;
            kreuze += ZaehlerKreuze[block];
        }
        const bool unberuehrt = Spielkosten == 0.0 && AnzahlTipBloecke == 0 && kreuze == 0;
        PRUEFEN(unberuehrt
                || (AnzahlTipBloecke == bloeckeMitKreuz
                    && Spielkosten == AnzahlTipBloecke * 1.5 + 2.5),
            fehler("stake does not match the marks"));

        const bool zurueckgesetzt
            = ZiehungNr < ziehungenVorher || (ZiehungNr == 0 && Kosten == 0 && kostenVorher != 0);
        if (zurueckgesetzt) {
            kapital = {};
            PRUEFEN(ZiehungNr == 0 && Kosten == 0.0 && Zinseszins == Erweitert(), fehler("reset"));
            PRUEFEN(z.gewinne() == Gewinne {}, fehler("counters after reset"));
        } else {
            const std::uint64_t neu = ZiehungNr - ziehungenVorher;
            gezogen += neu;
            PRUEFEN(Kosten == kostenVorher + double(neu) * einsatzVorher, fehler("costs"));
            for (std::uint64_t i = 0; i < neu; ++i)
                kapital = kapital * ZINSFAKTOR_ERWEITERT + Erweitert(einsatzVorher);
            PRUEFEN(Zinseszins == kapital, fehler("capital"));
            const Gewinne &g = z.gewinne();
            PRUEFEN(g.dreiRichtige >= gewinneVorher.dreiRichtige
                    && g.vierRichtige >= gewinneVorher.vierRichtige
                    && g.fuenfRichtige >= gewinneVorher.fuenfRichtige
                    && g.fuenfRichtigePlus >= gewinneVorher.fuenfRichtigePlus
                    && g.sechsRichtige >= gewinneVorher.sechsRichtige,
                fehler("a counter went down"));
        }
        // Rounded to a double as the program stores it: on x87 the quotient has 11 bits more.
        const volatile double jahre = double(ZiehungNr) / 52.0;
        PRUEFEN(Jahre == jahre, fehler("years"));
        PRUEFEN(Start == z.timer()->isActive(), fehler("Start and the timer disagree"));
        PRUEFEN(z.sechsRichtigeStop() == z.ch1()->isChecked(), fehler("jackpot stop"));

        // During a run the texts follow once per frame; between two events here there may be none.
        z.naechstesBild();
        const QStringList statistik = z.statistikZeilen();
        if (ZiehungNr == 0) {
            PRUEFEN(statistik.isEmpty() && z.label(3)->text() == QStringLiteral("ZiehungNr:0"),
                fehler("display after reset"));
        } else {
            const Gewinne &g = z.gewinne();
            const QStringList erwartet {
                QString::asprintf("Anzahl 3  Richtige:%7lld", (long long)g.dreiRichtige),
                QString::asprintf("Anzahl 4  Richtige:%7lld", (long long)g.vierRichtige),
                QString::asprintf("Anzahl 5  Richtige:%7lld", (long long)g.fuenfRichtige),
                QString::asprintf("Anzahl 5+ Richtige:%7lld", (long long)g.fuenfRichtigePlus),
                QString::asprintf("Anzahl 6  Richtige:%7lld", (long long)g.sechsRichtige),
            };
            PRUEFEN(statistik == erwartet, fehler("statistics: " + statistik.join('|')));
            PRUEFEN(z.label(3)->text()
                    == QString::asprintf("ZiehungNr:%7llu ", (unsigned long long)ZiehungNr),
                fehler("draw count shown"));
        }
    }
    qInfo("%d events: %d presses, %d event-loop spins, %llu draws in all", ereignisse, presses,
        ticks, (unsigned long long)gezogen);
}

QTEST_MAIN(TestZufallsbedienung)
#include "tst_zufallsbedienung.moc"
