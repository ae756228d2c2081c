// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QWidget>

// The painted ticket for the keyboard and for screen readers. The window paints the ticket and
// takes its mouse presses; this transparent child over it takes the keyboard focus, moves a focus
// field with the arrow keys, presses it with Space, and shows each of the 490 fields to
// accessibility clients as a check box of its own.
class Scheinbedienung : public QWidget
{
    Q_OBJECT

public:
    explicit Scheinbedienung(QWidget *fenster);

    int fokusBlock() const { return block; }
    int fokusZahl() const { return zahl; }

    // Tells accessibility clients of every mark that has changed since the last call.
    void MarkenAbgleichen();

    // The accessible object of a field: 0 <= index < 490, block-major.
    static int Index(int block, int zahl) { return (block - 1) * 49 + (zahl - 1); }

Q_SIGNALS:
    // A field is pressed from the keyboard or by an accessibility client: the window handles it
    // as a mouse press on it.
    void gedrueckt(int block, int zahl);

protected:
    void paintEvent(QPaintEvent *ereignis) override;
    void keyPressEvent(QKeyEvent *ereignis) override;
    void focusInEvent(QFocusEvent *ereignis) override;
    void focusOutEvent(QFocusEvent *ereignis) override;

private:
    void FokusSetzen(int neuerBlock, int neueZahl);
    void FokusMelden();
    QRect Fokusquadrat() const;

    int block = 1; // the focused field
    int zahl = 1;
    bool gemeldeteKreuze[11][50] = {}; // the marks as accessibility clients last heard of them
};
