// SPDX-License-Identifier: GPL-2.0-or-later
#include "Kugelzug.h"
#include "LottoZiehung.h"

#include <QApplication>

int main(int argc, char **argv)
{
    StartWertZufall();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KDE-QT Schaltprobe test!"));
    QApplication::setDesktopFileName(QStringLiteral(APP_ID)); // matches the window to its launcher
    auto *Fenster = new KdeW; // deletes itself when closed
    Fenster->show();
    return app.exec();
}
