// SPDX-License-Identifier: GPL-2.0-or-later
#include "Ansage.h"

#include <QAccessibleWidget>

namespace {

class AnsageZugang : public QAccessibleWidget
{
public:
    explicit AnsageZugang(Ansage *ansage)
        : QAccessibleWidget(ansage, QAccessible::Notification)
    {
    }

    QString text(QAccessible::Text art) const override
    {
        return art == QAccessible::Name ? static_cast<Ansage *>(widget())->Gesagt() : QString();
    }
};

// Static text named as it reads.
class ErgebnisfeldZugang : public QAccessibleWidget
{
public:
    explicit ErgebnisfeldZugang(Ergebnisfeld *feld)
        : QAccessibleWidget(feld, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text art) const override
    {
        return art == QAccessible::Name ? static_cast<QLabel *>(widget())->text() : QString();
    }
};

QAccessibleInterface *ZugangFuerAnsage(const QString &klasse, QObject *objekt)
{
    if (!objekt || !objekt->isWidgetType())
        return nullptr;
    if (klasse == QLatin1String("Ansage"))
        return new AnsageZugang(static_cast<Ansage *>(objekt));
    if (klasse == QLatin1String("Ergebnisfeld"))
        return new ErgebnisfeldZugang(static_cast<Ergebnisfeld *>(objekt));
    return nullptr;
}

void FabrikEinrichten()
{
    static const bool fabrik = [] {
        QAccessible::installFactory(ZugangFuerAnsage);
        return true;
    }();
    Q_UNUSED(fabrik);
}

} // namespace

Ansage::Ansage(QWidget *fenster)
    : QWidget(fenster)
{
    FabrikEinrichten();
    hide();
}

void Ansage::Sagen(const QString &text)
{
    gesagt = text;
    if (!QAccessible::isActive())
        return;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // From the window, which a screen reader has known since it became active. An object it first
    // hears of here is one it may take for dead: Orca 48 keeps the objects that died, of any
    // application, by an address that a new object can get again.
    QAccessibleAnnouncementEvent ereignis(window(), text);
#else
    QAccessibleEvent ereignis(this, QAccessible::ObjectShow);
#endif
    QAccessible::updateAccessibility(&ereignis);
}

Ergebnisfeld::Ergebnisfeld(const QString &text, QWidget *fenster)
    : QLabel(text, fenster)
    , gemeldet(text)
{
    FabrikEinrichten();
    // A label tells screen readers of every new text while it has no name of its own. Its name here
    // is its text all the same (see ErgebnisfeldZugang).
    setAccessibleName(QStringLiteral("Ergebnis"));
}

void Ergebnisfeld::Melden()
{
    if (gemeldet == text())
        return;
    gemeldet = text();
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent ereignis(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&ereignis);
}
