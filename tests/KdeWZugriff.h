// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Ansage.h"
#include "Kugelzug.h"
#include "Scheinbedienung.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <memory>

// The tests' view into the window: its widgets and flags are private to everything else.
struct KdeWZugriff
{
    KdeW &w;

    QStatusBar *statusbar() const { return w.statusbar; }
    QPushButton *neuerSchein() const { return w.ButtonNeuerSchein; }
    QPushButton *step() const { return w.ButtonStep; }
    QPushButton *startStop() const { return w.ButtonStartStop; }
    QPushButton *info() const { return w.ButtonInfo; }
    QPushButton *autoTip() const { return w.ButtonAutoTip; }
    QTimer *timer() const { return w.timer; }
    QLabel *label(int n) const
    {
        QLabel *labels[] = { nullptr, w.Label1, w.Label2, w.Label3, w.Label4, w.Label5 };
        return labels[n];
    }
    QListWidget *statistik() const { return w.ListBox1; }
    QListWidget *tipps() const { return w.ListBox2; }
    QCheckBox *ch1() const { return w.Ch1; }
    Gewinne &gewinne() const { return w.gewinne; }
    bool &sechsRichtigeStop() const { return w.SechsRichtigeStop; }
    bool &boolSechsRichtige() const { return w.boolSechsRichtige; }

    static QStringList zeilen(const QListWidget *liste)
    {
        QStringList texte;
        for (int i = 0; i < liste->count(); ++i)
            texte << liste->item(i)->text();
        return texte;
    }
    QStringList statistikZeilen() const { return zeilen(w.ListBox1); }
    QStringList tippZeilen() const { return zeilen(w.ListBox2); }
    QString status() const { return w.statusbar->currentMessage(); }
    void ergebnisanzeige() const { w.Ergebnisanzeige(); }
    // What the next frame does during a run: brings the result texts up to date.
    void naechstesBild() const { w.AnzeigeNachholen(); }
    Scheinbedienung *schein() const { return w.schein; }
};

// A window for one test: shown, and kept alive by the test rather than deleted on close.
inline std::unique_ptr<KdeW> NeuesFenster()
{
    auto fenster = std::make_unique<KdeW>();
    fenster->setAttribute(Qt::WA_DeleteOnClose, false);
    fenster->show();
    return fenster;
}

// Lets events run until `bedingung` holds or `ms` milliseconds have passed, and says whether it
// holds. The time is only a limit for a test that fails: a busy or emulated machine may take long.
// (QTRY_COMPARE does the same, but Qt 6.8's expansion narrows a long to an int in the test's own
// code, which -Wconversion reports at every use.)
template <typename Bedingung> bool Warten(Bedingung bedingung, int ms = 60000)
{
    return QTest::qWaitFor(bedingung, ms);
}

// Runs the event loop until a timer of `ms` milliseconds has fired, then delivers what was posted
// meanwhile. Timers fire in the order in which they fall due, late on a busy machine but never
// early (a coarse one by at most 5 %): every timer of the program that was due no later than this
// one has fired by then, and what it asked for has been done, however long that took.
inline void Ablaufen(int ms)
{
    QEventLoop schleife;
    QTimer uhr;
    uhr.setSingleShot(true);
    uhr.setTimerType(Qt::PreciseTimer);
    QObject::connect(&uhr, &QTimer::timeout, &schleife, &QEventLoop::quit);
    uhr.start(ms);
    schleife.exec();
    QCoreApplication::sendPostedEvents();
}

// Runs until a timer of `ms` milliseconds has fired (see Ablaufen) and says when, on `seit`, the
// status bar's message went, or -1 if it is still shown. A message timer that fell due before this
// one has fired by then, however busy the machine. With `seit` started before the message was
// shown, the moment is a bound that holds under any load: a timer fires late, but never early by
// more than a coarse timer's 5 %. (Checking "still shown" after a shorter wait does not hold: on a
// starved event loop both timers are overdue and fire in the same pass.)
inline qint64 MeldungWeg(QStatusBar *leiste, const QElapsedTimer &seit, int ms)
{
    qint64 weg = -1;
    const auto verbindung = QObject::connect(leiste, &QStatusBar::messageChanged,
                                             [&](const QString &text) {
                                                 if (text.isEmpty() && weg < 0)
                                                     weg = seit.elapsed();
                                             });
    Ablaufen(ms);
    QObject::disconnect(verbindung);
    return leiste->currentMessage().isEmpty() ? weg : -1;
}

// The centre of a field on the window, where a press hits it.
inline QPoint Mitte(int block, int zahl)
{
    return { FeldXk[block][zahl], FeldYk[block][zahl] };
}
