// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Lottomodell.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPainter>

class QCheckBox;
class QListWidget;
class QPushButton;
class QStatusBar;
class QTimer;
class Ansage;
class Ergebnisfeld;
class Scheinbedienung;

const int BILD_BREITE = 780;
const int BILD_HOEHE = 550;

// The main window: the painted ticket on top, the controls and the results below it, all at fixed
// positions. The simulation itself lives in Lottomodell; the slots here apply it and show it.
class KdeW : public QMainWindow
{
    Q_OBJECT

public:
    KdeW();

    // Back to an empty ticket and zero totals; stops a run.
    void LottoScheinZeichnen();
    // Writes the five win counters into the statistics list.
    void ZeigeAnzahlRichtige();
    // Evaluates the ticket against the last draw.
    void vergleichen();

public slots:
    void NeuerSchein_clicked();
    void ButtonStep_clicked();
    void ButtonStartStop_clicked();
    void ButtonAutoTip_clicked();
    void timerZiehungen();
    void ButtonInfo_clicked();
    void BoxChecked();
    // Echoes an activated line of either list in the status bar.
    void ListItemIndex(const QListWidget *liste, int index);

protected:
    bool event(QEvent *ereignis) override;
    void mousePressEvent(QMouseEvent *Maus) override;
    void paintEvent(QPaintEvent *ereignis) override;

private:
    void TipListeFuellen();
    void Ergebnisanzeige();
    void FeldZeichnen(int block, int zahl);
    void FeldDruecken(int block, int zahl);
    void FeldGedrueckt(int block, int zahl);
    void SofortMalen(const QRect &bereich);
    int Bildabstand() const;
    void NaechstesBild();
    void AnzeigeNachholen();
    void ScheinBeschreiben();
    void LaufEndeAnsagen(bool beiSechs);
    void Ansagen(const QString &text);

    bool SechsRichtigeStop = false; // follows Ch1
    bool boolSechsRichtige = false; // the last evaluation found a six
    Gewinne gewinne;
    Gewinne laufBeginn; // the wins when the run was started

    QStatusBar *statusbar;
    QPushButton *ButtonNeuerSchein;
    QPushButton *ButtonStep;
    QPushButton *ButtonStartStop;
    QPushButton *ButtonInfo;
    QPushButton *ButtonAutoTip;
    QTimer *timer;
    Ergebnisfeld *Label1; // the six drawn numbers
    Ergebnisfeld *Label2; // the bonus number
    Ergebnisfeld *Label3; // draws
    Ergebnisfeld *Label4; // years
    Ergebnisfeld *Label5; // costs
    QListWidget *ListBox1; // win statistics
    QListWidget *ListBox2; // the ticket's tips
    QCheckBox *Ch1;
    Scheinbedienung *schein; // the painted ticket for the keyboard and screen readers
    Ansage *ansage; // what screen readers are told of a draw and a run
    QPainter wMaler; // active only inside paintEvent

    // Frame pacing during a run: see event().
    QElapsedTimer letztesBild;
    QTimer *bildTakt;
    bool sofort = false;
    bool anzeigeOffen = false; // a batch's result display waits for the next frame

    friend struct KdeWZugriff; // lets the tests look inside
};
