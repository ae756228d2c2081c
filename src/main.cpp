// SPDX-License-Identifier: GPL-2.0-or-later
#include "Kugelzug.h"
#include "LottoZiehung.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

namespace {

// The program's own options. Qt's standard ones (-platform, -display, -style, ...) belong to
// QApplication, which takes them out of the arguments before these are checked.
struct Befehlszeile : QCommandLineParser
{
    const QCommandLineOption hilfe { { QStringLiteral("h"), QStringLiteral("help") },
        QStringLiteral("Show this help and exit.") };
    const QCommandLineOption version { { QStringLiteral("v"), QStringLiteral("version") },
        QStringLiteral("Show the version and exit.") };

    Befehlszeile()
    {
        setApplicationDescription(QStringLiteral(
            "Simulates the German lottery \"6 aus 49\" and shows what playing it costs.\n\n"
            "Qt's standard options are taken too, among them -platform <name>, -display "
            "<display>,\n-style <style> and -reverse; see lotto-simulator(1)."));
        setSingleDashWordOptionMode(ParseAsLongOptions); // "-platform" is one word, as Qt reads it
        addOption(hilfe);
        addOption(version);
    }
};

} // namespace

int main(int argc, char **argv)
{
    // --help and --version answer without a display: they are looked at before the GUI starts.
    Befehlszeile befehle;
    QStringList argumente;
    for (int i = 0; i < argc; ++i)
        argumente << QString::fromLocal8Bit(argv[i]);
    befehle.parse(argumente); // what it does not know is checked once Qt has taken its own
    if (befehle.isSet(befehle.version)) {
        std::printf("lotto-simulator %s\n", LOTTO_VERSION);
        return 0;
    }
    if (befehle.isSet(befehle.hilfe)) {
        const QCoreApplication kern(argc, argv); // names the program in the usage line
        std::fputs(qPrintable(befehle.helpText()), stdout);
        return 0;
    }

    StartWertZufall();
    QApplication app(argc, argv);
    befehle.process(app); // an unknown option ends the program with a message
    if (!befehle.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "lotto-simulator: no arguments are taken: %s\n",
            qPrintable(befehle.positionalArguments().join(QLatin1Char(' '))));
        return 1;
    }
    QApplication::setApplicationName(QStringLiteral("KDE-QT Schaltprobe test!"));
    QApplication::setApplicationVersion(QStringLiteral(LOTTO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(APP_ID)); // matches the window to its launcher
    auto *Fenster = new KdeW; // deletes itself when closed
    Fenster->show();
    return app.exec();
}
