// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QFont>
#include <QList>
#include <QListWidget>
#include <QString>
#include <QStyledItemDelegate>

// The statistics list rewrites its five lines after every batch of a run. They change their digits,
// never their size (one font, uniform lines, far narrower than the list), so a changed line only
// needs repainting; QListView would lay out the whole list anew on every change. And as a count
// grows, only its last digits change: in a face whose characters are all equally wide, a line
// written from left to right is repainted from one character before its first changed one on.
class Statistikliste : public QListWidget
{
public:
    using QListWidget::QListWidget;

protected:
    void dataChanged(
        const QModelIndex &von, const QModelIndex &bis, const QList<int> &rollen) override;
    // Lines added or taken away: their texts are learnt anew with their next change.
    void rowsInserted(const QModelIndex &eltern, int von, int bis) override;
    void rowsAboutToBeRemoved(const QModelIndex &eltern, int von, int bis) override;
    void reset() override;

private:
    QList<QString> gezeigt; // each line's text as last repainted; null: not known
};

// The statistics list is 95 px high for its five lines. Some faces that "courier" resolves to
// (Nimbus Mono PS: 20 px) ask for more room per line than that, most of it above and below the
// glyphs; their lines then share the height, so that all five show without a scroll bar.
//
// During a run three or four lines change in every frame. The style lays out a line's text three
// times to paint it (for its size, its elision and its drawing); a plain line, one run of text that
// fits, neither selected, focused nor hovered, is drawn here in one go, at the place and in the
// colour Fusion gives it. Every other line, and every line under another style, is the style's.
class Statistikzeile : public QStyledItemDelegate
{
public:
    /* 0 < zeilen: the lines that share the list's height */
    Statistikzeile(QListWidget *liste, int zeilen);

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(QPainter *maler, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;

private:
    struct Zeilenmass
    {
        QFont schrift;
        int hoehe = 0; // of a laid-out line, rounded as the style rounds it
        qreal oberlaenge = 0; // from the line's top to its baseline
        int breitestesZeichen = 0;
    };

    bool Schlicht(const QStyleOptionViewItem &opt) const;
    const Zeilenmass &Mass(const QFont &schrift) const;

    const QListWidget *liste;
    int zeilen;
    mutable Zeilenmass gemessen;
};
