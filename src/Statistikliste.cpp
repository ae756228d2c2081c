// SPDX-License-Identifier: GPL-2.0-or-later
#include "Statistikliste.h"

#include <QAccessible>
#include <QFontInfo>
#include <QPainter>
#include <QProxyStyle>
#include <QTextLayout>
#include <QtMath>

#include <algorithm>

void Statistikliste::dataChanged(
    const QModelIndex &von, const QModelIndex &bis, const QList<int> &rollen)
{
    const int zeile = von.row();
    const bool nurText = !rollen.isEmpty()
        && std::all_of(rollen.cbegin(), rollen.cend(),
            [](int rolle) { return rolle == Qt::DisplayRole || rolle == Qt::EditRole; });
    const bool eineZeile = von == bis && zeile < gezeigt.size() && nurText;
    if (!eineZeile) {
        gezeigt.clear();
        QAbstractItemView::dataChanged(von, bis, rollen);
        return;
    }
    const QString neu = von.data().toString();
    QString &alt = gezeigt[zeile];
    const QRect bereich = visualRect(von);
    const qsizetype gleich
        = std::mismatch(alt.cbegin(), alt.cend(), neu.cbegin(), neu.cend()).first - alt.cbegin();
    if (alt.isNull() || !QFontInfo(font()).fixedPitch() || layoutDirection() != Qt::LeftToRight) {
        viewport()->update(bereich);
    } else {
        const qreal breite = QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0'));
        const int links = bereich.left() + qFloor(qreal(gleich - 1) * breite);
        viewport()->update(bereich.adjusted(std::max(links - bereich.left(), 0), 0, 0, 0));
    }
    alt = neu;
    // Screen readers hear of the changed line as from any list.
    if (QAccessible::isActive()) {
        QAccessibleTableModelChangeEvent ereignis(
            this, QAccessibleTableModelChangeEvent::DataChanged);
        ereignis.setFirstRow(zeile);
        ereignis.setLastRow(zeile);
        ereignis.setFirstColumn(von.column());
        ereignis.setLastColumn(von.column());
        QAccessible::updateAccessibility(&ereignis);
    }
}

void Statistikliste::rowsInserted(const QModelIndex &eltern, int von, int bis)
{
    gezeigt = QList<QString>(model()->rowCount());
    QListWidget::rowsInserted(eltern, von, bis);
}

void Statistikliste::rowsAboutToBeRemoved(const QModelIndex &eltern, int von, int bis)
{
    gezeigt.clear();
    QListWidget::rowsAboutToBeRemoved(eltern, von, bis);
}

void Statistikliste::reset()
{
    gezeigt.clear();
    QListWidget::reset();
}

Statistikzeile::Statistikzeile(QListWidget *liste_, int zeilen_)
    : QStyledItemDelegate(liste_)
    , liste(liste_)
    , zeilen(zeilen_)
{
}

QSize Statistikzeile::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize groesse = QStyledItemDelegate::sizeHint(option, index);
    groesse.setHeight(std::min(groesse.height(), liste->contentsRect().height() / zeilen));
    return groesse;
}

void Statistikzeile::paint(
    QPainter *maler, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    if (!Schlicht(opt)) {
        QStyledItemDelegate::paint(maler, option, index);
        return;
    }
    const Zeilenmass &mass = Mass(opt.font);
    const QStyle *stil = liste->style();
    const int rand = stil->pixelMetric(QStyle::PM_FocusFrameHMargin, &opt, liste) + 1;
    const QRect textbereich = opt.rect.adjusted(rand, 0, -rand, 0);
    if (opt.text.size() * mass.breitestesZeichen > textbereich.width()) {
        QStyledItemDelegate::paint(maler, option, index);
        return;
    }
    // As the style centres the line's height in the line's rectangle.
    const int oben = opt.rect.top() + (opt.rect.height() - mass.hoehe) / 2;
    QPalette::ColorGroup gruppe
        = opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (gruppe == QPalette::Normal && !(opt.state & QStyle::State_Active))
        gruppe = QPalette::Inactive;
    maler->save();
    maler->setClipRect(opt.rect);
    maler->setFont(opt.font);
    maler->setPen(opt.palette.color(gruppe, QPalette::Text));
    maler->drawText(QPointF(textbereich.left(), oben + mass.oberlaenge), opt.text);
    maler->restore();
}

// Fusion, Qt's own style, draws a line of a list in the common way; the delegate's own drawing is
// checked against it.
bool Statistikzeile::Schlicht(const QStyleOptionViewItem &opt) const
{
    const QStyle *stil = liste->style();
    if (const auto *stellvertreter = qobject_cast<const QProxyStyle *>(stil))
        stil = stellvertreter->baseStyle();
    if (stil->name() != QLatin1String("fusion"))
        return false;
    constexpr QStyle::State besonders = QStyle::State_Selected | QStyle::State_HasFocus
        | QStyle::State_MouseOver | QStyle::State_Editing;
    return !(opt.state & besonders) && opt.features == QStyleOptionViewItem::HasDisplay
        && opt.direction == Qt::LeftToRight
        && opt.displayAlignment == (Qt::AlignLeft | Qt::AlignVCenter)
        && opt.backgroundBrush.style() == Qt::NoBrush && !opt.text.contains(QChar::LineFeed);
}

// The line's measures, as the style's text layout gives them; taken once per font.
const Statistikzeile::Zeilenmass &Statistikzeile::Mass(const QFont &schrift) const
{
    if (gemessen.hoehe == 0 || gemessen.schrift != schrift) {
        QTextLayout layout(QStringLiteral("0"), schrift);
        layout.beginLayout();
        QTextLine zeile = layout.createLine();
        zeile.setLineWidth(1000);
        layout.endLayout();
        gemessen.schrift = schrift;
        gemessen.hoehe = qRound(zeile.height());
        gemessen.oberlaenge = zeile.ascent();
        gemessen.breitestesZeichen = QFontMetrics(schrift).maxWidth();
    }
    return gemessen;
}
