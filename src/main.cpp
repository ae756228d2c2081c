// SPDX-License-Identifier: GPL-2.0-or-later
#include "Kugelzug.h"
#include "LottoZiehung.h"

#include <QApplication>

int main(int argc, char **argv)
{
    StartWertZufall();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KDE-QT Schaltprobe test!"));
    auto *Fenster = new KdeW; // deletes itself when closed
    Fenster->show();
    return app.exec();
}
