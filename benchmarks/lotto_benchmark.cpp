// SPDX-License-Identifier: GPL-2.0-or-later
// Prints how fast the simulator draws, shows and paints. Run it on the offscreen platform:
//   QT_QPA_PLATFORM=offscreen ./lotto_benchmark
// With --lauf only the continuous run against the bare timer (on a real X server, with or
// without an accessibility client: see benchmarks/zugang.sh).
#include "Kugelzug.h"
#include "Spielschein.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <vector>

namespace {

struct Zeitmesser
{
    QElapsedTimer uhr;
    Zeitmesser() { uhr.start(); }
    double us() const { return double(uhr.nsecsElapsed()) / 1e3; }
};

// The processor time, in seconds, that the scheduler has given a process: the first field of each
// of its threads' schedstat, exact to the nanosecond. getrusage and /proc/PID/stat count whole
// ticks of the kernel's clock (250 Hz here), which is biased for a program that wakes every
// millisecond.
double Prozessorzeit(qint64 pid)
{
    double ns = 0;
    const QDir aufgaben(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &faden : aufgaben.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile schedstat(aufgaben.filePath(faden + QStringLiteral("/schedstat")));
        if (schedstat.open(QIODevice::ReadOnly))
            ns += schedstat.readLine().split(' ').value(0).toDouble();
    }
    return ns / 1e9;
}

double Prozessorzeit(const QList<qint64> &prozesse)
{
    double sekunden = 0;
    for (qint64 pid : prozesse)
        sekunden += Prozessorzeit(pid);
    return sekunden;
}

double Median(std::vector<double> werte)
{
    std::sort(werte.begin(), werte.end());
    const std::size_t mitte = werte.size() / 2;
    return werte.size() % 2 ? werte[mitte] : (werte[mitte - 1] + werte[mitte]) / 2;
}

// The accessibility events the program hands to the platform's bridge (AT-SPI on Linux).
long a11yEreignisse = 0;
void A11yZaehlen(QAccessibleEvent *ereignis)
{
    ++a11yEreignisse;
    QGuiApplicationPrivate::platformIntegration()->accessibility()->notifyAccessibilityUpdate(
        ereignis);
}

// How many events the listening client has had: it writes the count into a file.
long ZuhoererZaehlt()
{
    const QString pfad = qEnvironmentVariable("LOTTO_ZUHOERER");
    QFile datei(pfad);
    if (pfad.isEmpty() || !datei.open(QIODevice::ReadOnly))
        return 0;
    return datei.readAll().trimmed().toLong();
}

void Laufen(int ms)
{
    QTimer ende;
    ende.setSingleShot(true);
    QEventLoop schleife;
    QObject::connect(&ende, &QTimer::timeout, &schleife, &QEventLoop::quit);
    ende.start(ms);
    schleife.exec();
}

struct Glibc
{
    std::uint32_t operator()() { return static_cast<std::uint32_t>(random()); }
};

// The draw loop as straightforwardly as it is specified: libc's random(), 490 tests per draw.
double EinfacheSchleife(long ziehungen)
{
    Gewinne gewinne;
    Glibc glibc;
    srandom(1);
    Zeitmesser uhr;
    for (long i = 0; i < ziehungen; ++i) {
        ZiehungAus(glibc);
        ZiehungZaehlen();
        TippsVergleichen(gewinne);
        ZiehungBuchen();
    }
    return uhr.us() * 1e3 / double(ziehungen);
}

double SchnelleSchleife(long ziehungen)
{
    Gewinne gewinne;
    ZiehungNr = 0;
    Zeitmesser uhr;
    while (ZiehungNr < static_cast<std::uint64_t>(ziehungen))
        Ziehungsstapel(gewinne, false);
    return uhr.us() * 1e3 / double(ziehungen);
}

// The booking of the capital alone, through its finite range (19.6 million draws at 17.50 DM).
template <typename Kapital> double Buchungen(Kapital start, long buchungen)
{
    double kosten = 0;
    Kapital kapital = start;
    Zeitmesser uhr;
    for (long i = 0; i < buchungen; ++i) {
        if constexpr (std::is_same_v<Kapital, long double>)
            kapital = kapital * static_cast<long double>(ZINSFAKTOR) + 17.5;
        else
            Buchen(kosten, kapital, 17.5);
    }
    const double ns = uhr.us() * 1e3 / double(buchungen);
    volatile Kapital ergebnis = kapital;
    (void)ergebnis;
    return ns;
}

template <typename Umwandlung> double Textzeit(Umwandlung umwandlung)
{
    double kosten = 0;
    Erweitert kapital;
    std::vector<Erweitert> werte;
    for (long i = 0; i < 19'600'000; ++i) {
        Buchen(kosten, kapital, 17.5);
        if (i % 20'000 == 0)
            werte.push_back(kapital);
    }
    Zeitmesser uhr;
    int laenge = 0;
    for (const Erweitert &wert : werte)
        laenge += int(std::strlen(umwandlung(wert).text));
    volatile int benutzt = laenge;
    (void)benutzt;
    return uhr.us() / double(werte.size());
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    std::printf("Lotto Simmulator benchmark (platform %s, Qt %s)\n\n",
        qPrintable(QGuiApplication::platformName()), qVersion());

    Zufall.saeen(1);
    auto *fenster = new KdeW;
    fenster->show();
    QCoreApplication::processEvents();
    fenster->ButtonAutoTip_clicked();

    const bool nurLauf = QCoreApplication::arguments().contains(QStringLiteral("--lauf"));
    if (!nurLauf) {
        // 1. The draw kernel.
        const double einfach = EinfacheSchleife(2'000'000);
        fenster->ButtonAutoTip_clicked();
        const double schnell = SchnelleSchleife(52'000'000);
        std::printf("1. draw kernel (draw, count, evaluate 10 blocks, book)\n"
                    "   straightforward (libc random(), 490 tests): %6.1f ns per draw\n"
                    "   batch loop:                                 %6.1f ns per draw\n\n",
            einfach, schnell);

        // 2. One batch with its result display.
        fenster->ButtonAutoTip_clicked();
        std::vector<double> stapel;
        for (int i = 0; i < 2000; ++i) {
            Zeitmesser uhr;
            fenster->timerZiehungen();
            stapel.push_back(uhr.us());
            if (i % 50 == 0)
                QCoreApplication::processEvents();
        }
        std::sort(stapel.begin(), stapel.end());
        std::printf("2. one batch of 520 draws with its result display (%zu batches)\n"
                    "   median %.1f us, worst %.1f us\n\n",
            stapel.size(), stapel[stapel.size() / 2], stapel.back());
    }

    // 3. and 4. A bare 1 ms timer and a continuous run, taken in turns of a second so that both
    // see the same machine; with an accessibility client, what it and the bus get of the run.
    long ticks = 0;
    QTimer nackt;
    nackt.setTimerType(Qt::PreciseTimer);
    QObject::connect(&nackt, &QTimer::timeout, [&] { ++ticks; });

    fenster->ButtonAutoTip_clicked();
    fenster->findChild<QCheckBox *>()->click(); // no stop at a six: the run goes on
    long stapelZahl = 0;
    QObject::connect(fenster->findChild<QTimer *>(), &QTimer::timeout, [&] { ++stapelZahl; });
    // The frames a run paints: those of the draw counter's label.
    struct Bildzaehler : QObject
    {
        long bilder = 0;
        bool eventFilter(QObject *, QEvent *ereignis) override
        {
            bilder += ereignis->type() == QEvent::Paint;
            return false;
        }
    } bildzaehler;
    for (QLabel *label : fenster->findChildren<QLabel *>()) {
        if (label->text().startsWith(QStringLiteral("ZiehungNr")))
            label->installEventFilter(&bildzaehler);
    }
    const bool zugang = QAccessible::isActive();
    if (zugang)
        QAccessible::installUpdateHandler(A11yZaehlen);
    QList<qint64> bus;
    for (const QString &pid : qEnvironmentVariable("LOTTO_BUS").split(' ', Qt::SkipEmptyParts))
        bus << pid.toLongLong();
    const qint64 selbst = QCoreApplication::applicationPid();
    // Per round, in percent of a core: the bare timer, the run, and the bus during the run.
    std::vector<double> nacktProzent, laufProzent, abstand, busProzent;
    double nacktSekunden = 0, laufSekunden = 0;
    long ereignisse = 0, gehoert = 0, bilder = 0;
    const std::uint64_t ziehungenVorher = ZiehungNr;
    for (int runde = 0; runde < 10; ++runde) {
        QElapsedTimer wand;
        wand.start();
        double cpuVorher = Prozessorzeit(selbst);
        nackt.start(1);
        Laufen(1000);
        nackt.stop();
        double sekunden = double(wand.nsecsElapsed()) / 1e9;
        nacktSekunden += sekunden;
        nacktProzent.push_back(100 * (Prozessorzeit(selbst) - cpuVorher) / sekunden);

        cpuVorher = Prozessorzeit(selbst);
        const double busVorher = Prozessorzeit(bus);
        const long ereignisseVorher = a11yEreignisse;
        const long gehoertVorher = ZuhoererZaehlt();
        wand.restart();
        const long bilderVorher = bildzaehler.bilder;
        fenster->ButtonStartStop_clicked();
        Laufen(1000);
        fenster->ButtonStartStop_clicked();
        sekunden = double(wand.nsecsElapsed()) / 1e9;
        bilder += bildzaehler.bilder - bilderVorher;
        laufSekunden += sekunden;
        laufProzent.push_back(100 * (Prozessorzeit(selbst) - cpuVorher) / sekunden);
        abstand.push_back(laufProzent.back() - nacktProzent.back());
        Laufen(150); // the client takes what is on the bus
        busProzent.push_back(100 * (Prozessorzeit(bus) - busVorher) / sekunden);
        ereignisse += a11yEreignisse - ereignisseVorher;
        gehoert += ZuhoererZaehlt() - gehoertVorher;
    }
    const double tickrate = double(ticks) / nacktSekunden;
    const double stapelRate = double(stapelZahl) / laufSekunden;
    std::printf("3. continuous run for %.0f s, in turns with a bare timer for %.0f s\n"
                "   bare 1 ms precise timer: %.0f ticks/s\n"
                "   run: %.0f batches/s = %.1f %% of the bare ticks, %.0f draws/s; %.0f frames "
                "painted/s at a screen's %.0f Hz\n\n",
        laufSekunden, nacktSekunden, tickrate, stapelRate, 100.0 * stapelRate / tickrate,
        double(ZiehungNr - ziehungenVorher) / laufSekunden, double(bilder) / laufSekunden,
        fenster->screen()->refreshRate());
    std::printf("4. processor time of the full-rate run, the scheduler's runtime, median of %zu "
                "rounds:\n"
                "   run %.1f %% of a core, the bare timer alone %.1f %%; run minus bare timer "
                "%+.1f points\n"
                "   run minus bare timer, each round:",
        abstand.size(), Median(laufProzent), Median(nacktProzent), Median(abstand));
    for (double punkte : abstand)
        std::printf(" %+.1f", punkte);
    std::printf("\n\n");
    if (zugang) {
        std::printf("   with an accessibility client: %.0f events/s to the bridge, %.0f/s heard by "
                    "the client;\n"
                    "   the accessibility bus %.1f %% of a core, program and bus %.1f %%\n\n",
            double(ereignisse) / laufSekunden, double(gehoert) / laufSekunden, Median(busProzent),
            Median(laufProzent) + Median(busProzent));
    }
    if (nurLauf) {
        fenster->close();
        return 0;
    }

    // 5. Painting.
    std::vector<double> ganz;
    for (int i = 0; i < 300; ++i) {
        Zeitmesser uhr;
        fenster->repaint(Spielschein::BEREICH);
        ganz.push_back(uhr.us());
    }
    std::vector<double> nachStapel;
    for (int i = 0; i < 1000; ++i) {
        fenster->timerZiehungen();
        Zeitmesser uhr;
        QCoreApplication::processEvents();
        nachStapel.push_back(uhr.us());
    }
    std::sort(ganz.begin(), ganz.end());
    std::sort(nachStapel.begin(), nachStapel.end());
    std::printf("5. painting (median)\n"
                "   the whole sheet, 490 fields:     %.0f us\n"
                "   the window after one batch:      %.0f us\n",
        ganz[ganz.size() / 2], nachStapel[nachStapel.size() / 2]);

    // 6. The capital: one booking, and its text.
    std::printf("\n6. the capital in extended precision (19.6 million bookings at 17.50 DM)\n");
#ifdef __SIZEOF_INT128__
    std::printf("   our own type, 128-bit integer: %5.1f ns per booking\n",
        Buchungen(ErweitertAus<Int128>(), 19'600'000));
#endif
    std::printf("   our own type, two 64-bit words: %4.1f ns per booking\n",
        Buchungen(ErweitertAus<Wortpaar>(), 19'600'000));
    if constexpr (std::numeric_limits<long double>::digits == 64)
        std::printf("   the x87 unit's long double:    %5.1f ns per booking\n",
            Buchungen(0.0L, 19'600'000));
    std::printf("   \"%%1.6LE\" text, C library:      %5.2f us; our own conversion: %.2f us\n",
        Textzeit(ExponentTextBibliothek), Textzeit(ExponentTextEigen));

    fenster->close();
    return 0;
}
