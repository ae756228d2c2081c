// SPDX-License-Identifier: GPL-2.0-or-later
#include "Scheinbedienung.h"

#include "Lottomodell.h"
#include "Spielschein.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>

namespace {

// The ticket as a grid of 35 columns and 14 rows of fields, for moving across block edges.
constexpr int SPALTEN_GESAMT = Spielschein::SPALTEN * Spielschein::BLOECKE_PRO_REIHE;
constexpr int ZEILEN_GESAMT = 2 * Spielschein::SPALTEN;

int Spalte(int block, int zahl)
{
    return (block - 1) % Spielschein::BLOECKE_PRO_REIHE * Spielschein::SPALTEN
        + (zahl - 1) % Spielschein::SPALTEN;
}

int Zeile(int block, int zahl)
{
    return (block - 1) / Spielschein::BLOECKE_PRO_REIHE * Spielschein::SPALTEN
        + (zahl - 1) / Spielschein::SPALTEN;
}

/* 0 <= spalte < 35; 0 <= zeile < 14 */
std::pair<int, int> Feld(int spalte, int zeile)
{
    const int block = zeile / Spielschein::SPALTEN * Spielschein::BLOECKE_PRO_REIHE
        + spalte / Spielschein::SPALTEN + 1;
    const int zahl
        = zeile % Spielschein::SPALTEN * Spielschein::SPALTEN + spalte % Spielschein::SPALTEN + 1;
    return { block, zahl };
}

// One field towards accessibility clients: a check box named "Block 3, Zahl 17" that toggles as a
// press on it does.
class FeldZugang : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    FeldZugang(Scheinbedienung *schein_, int block_, int zahl_)
        : schein(schein_)
        , block(block_)
        , zahl(zahl_)
    {
    }

    bool isValid() const override { return !schein.isNull(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return isValid() ? parent()->window() : nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(schein.data());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }

    QString text(QAccessible::Text art) const override
    {
        if (art != QAccessible::Name)
            return {};
        return QStringLiteral("Block %1, Zahl %2").arg(block).arg(zahl);
    }
    void setText(QAccessible::Text, const QString &) override { }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect feld = Spielschein::Feldquadrat(block, zahl);
        return QRect(schein->parentWidget()->mapToGlobal(feld.topLeft()), feld.size());
    }

    QAccessible::Role role() const override { return QAccessible::CheckBox; }

    QAccessible::State state() const override
    {
        QAccessible::State zustand;
        zustand.checkable = true;
        zustand.checked = Kreuz[block][zahl];
        zustand.focusable = true;
        zustand.focused = isValid() && schein->hasFocus() && schein->fokusBlock() == block
            && schein->fokusZahl() == zahl;
        return zustand;
    }

    void *interface_cast(QAccessible::InterfaceType art) override
    {
        return art == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this)
                                                   : nullptr;
    }

    QStringList actionNames() const override { return { toggleAction() }; }
    QStringList keyBindingsForAction(const QString &aktion) const override
    {
        return aktion == toggleAction() ? QStringList { QStringLiteral("Space") } : QStringList {};
    }
    void doAction(const QString &aktion) override
    {
        if (aktion == toggleAction() && isValid())
            Q_EMIT schein->gedrueckt(block, zahl);
    }

private:
    QPointer<Scheinbedienung> schein;
    int block;
    int zahl;
};

// The ticket with its 490 fields as children. Their interfaces are made on first request and
// live as long as the ticket's.
class ScheinZugang : public QAccessibleWidget
{
public:
    explicit ScheinZugang(Scheinbedienung *schein)
        : QAccessibleWidget(schein, QAccessible::Table)
    {
    }

    ~ScheinZugang() override
    {
        for (const QAccessible::Id id : std::as_const(felder))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return BLOECKE * ZAHLEN; }

    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        auto gefunden = felder.constFind(index);
        if (gefunden == felder.constEnd()) {
            auto *feld = new FeldZugang(ticket(), index / ZAHLEN + 1, index % ZAHLEN + 1);
            gefunden = felder.insert(index, QAccessible::registerAccessibleInterface(feld));
        }
        return QAccessible::accessibleInterface(*gefunden);
    }

    int indexOfChild(const QAccessibleInterface *kind) const override
    {
        for (auto it = felder.constBegin(); it != felder.constEnd(); ++it) {
            if (QAccessible::accessibleInterface(it.value()) == kind)
                return it.key();
        }
        return -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint punkt = ticket()->parentWidget()->mapFromGlobal(QPoint(x, y));
        for (int block = 1; block <= BLOECKE; ++block) {
            for (int zahl = 1; zahl <= ZAHLEN; ++zahl) {
                if (Spielschein::Feldquadrat(block, zahl).contains(punkt))
                    return child(Scheinbedienung::Index(block, zahl));
            }
        }
        return nullptr;
    }

    QAccessibleInterface *focusChild() const override
    {
        if (!ticket()->hasFocus())
            return nullptr;
        return child(Scheinbedienung::Index(ticket()->fokusBlock(), ticket()->fokusZahl()));
    }

private:
    Scheinbedienung *ticket() const { return static_cast<Scheinbedienung *>(widget()); }

    mutable QHash<int, QAccessible::Id> felder;
};

QAccessibleInterface *ZugangFuerSchein(const QString &klasse, QObject *objekt)
{
    if (klasse == QLatin1String("Scheinbedienung") && objekt && objekt->isWidgetType())
        return new ScheinZugang(static_cast<Scheinbedienung *>(objekt));
    return nullptr;
}

} // namespace

Scheinbedienung::Scheinbedienung(QWidget *fenster)
    : QWidget(fenster)
{
    static const bool fabrik = [] {
        QAccessible::installFactory(ZugangFuerSchein);
        return true;
    }();
    Q_UNUSED(fabrik);
    setGeometry(Spielschein::BEREICH);
    // Presses go through to the window, which paints the ticket and hit-tests them.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(QStringLiteral("Spielschein"));
}

QRect Scheinbedienung::Fokusquadrat() const
{
    return Spielschein::Feldquadrat(block, zahl).translated(-pos());
}

// Only with the focus, and only inside the focused field's square: without it, the ticket looks
// exactly as the window paints it.
void Scheinbedienung::paintEvent(QPaintEvent *)
{
    if (!hasFocus())
        return;
    QPainter maler(this);
    maler.setPen(QPen(QColor(0, 80, 220), 2));
    maler.setBrush(Qt::NoBrush);
    // Inside the black outline, around the number.
    maler.drawRect(Fokusquadrat().adjusted(2, 2, -2, -2));
}

void Scheinbedienung::keyPressEvent(QKeyEvent *ereignis)
{
    int spalte = Spalte(block, zahl);
    int zeile = Zeile(block, zahl);
    switch (ereignis->key()) {
    case Qt::Key_Left:
        spalte = std::max(spalte - 1, 0);
        break;
    case Qt::Key_Right:
        spalte = std::min(spalte + 1, SPALTEN_GESAMT - 1);
        break;
    case Qt::Key_Up:
        zeile = std::max(zeile - 1, 0);
        break;
    case Qt::Key_Down:
        zeile = std::min(zeile + 1, ZEILEN_GESAMT - 1);
        break;
    case Qt::Key_Space:
        Q_EMIT gedrueckt(block, zahl);
        return;
    default:
        QWidget::keyPressEvent(ereignis);
        return;
    }
    const auto [neuerBlock, neueZahl] = Feld(spalte, zeile);
    FokusSetzen(neuerBlock, neueZahl);
}

void Scheinbedienung::FokusSetzen(int neuerBlock, int neueZahl)
{
    if (neuerBlock == block && neueZahl == zahl)
        return;
    update(Fokusquadrat());
    block = neuerBlock;
    zahl = neueZahl;
    update(Fokusquadrat());
    FokusMelden();
}

void Scheinbedienung::FokusMelden()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent fokus(this, QAccessible::Focus);
    fokus.setChild(Index(block, zahl));
    QAccessible::updateAccessibility(&fokus);
}

void Scheinbedienung::focusInEvent(QFocusEvent *ereignis)
{
    QWidget::focusInEvent(ereignis);
    update(Fokusquadrat());
    FokusMelden();
}

void Scheinbedienung::focusOutEvent(QFocusEvent *ereignis)
{
    QWidget::focusOutEvent(ereignis);
    update(Fokusquadrat());
}

void Scheinbedienung::MarkenAbgleichen()
{
    for (int feldBlock = 1; feldBlock <= BLOECKE; ++feldBlock) {
        for (int feldZahl = 1; feldZahl <= ZAHLEN; ++feldZahl) {
            bool &gemeldet = gemeldeteKreuze[feldBlock][feldZahl];
            if (gemeldet == Kreuz[feldBlock][feldZahl])
                continue;
            gemeldet = Kreuz[feldBlock][feldZahl];
            if (!QAccessible::isActive())
                continue;
            QAccessible::State geaendert;
            geaendert.checked = true;
            QAccessibleStateChangeEvent ereignis(this, geaendert);
            ereignis.setChild(Index(feldBlock, feldZahl));
            QAccessible::updateAccessibility(&ereignis);
        }
    }
}
