// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QLabel>
#include <QWidget>

// What a screen reader says of itself when something happens that the user did not move the focus
// to: the outcome of a draw, the end of a run. It is never shown; where Qt has announcements for
// assistive technology (6.8 on), the window makes one, and before that this is a notification that
// appears with the text as its name, which screen readers read out at once.
class Ansage : public QWidget
{
    Q_OBJECT

public:
    explicit Ansage(QWidget *fenster);

    void Sagen(const QString &text);
    QString Gesagt() const { return gesagt; }

private:
    QString gesagt;
};

// A text of the result display. Screen readers read what it shows, as from any label. But during a
// run it changes with every frame, faster than a screen reader follows (Orca 43 falls behind and
// then drops what the program announces): so it tells them of a change only when the window says,
// after a draw and at the end of a run.
class Ergebnisfeld : public QLabel
{
    Q_OBJECT

public:
    Ergebnisfeld(const QString &text, QWidget *fenster);

    // Tells screen readers of the text shown, if it is not the one they last heard of.
    void Melden();

private:
    QString gemeldet;
};
