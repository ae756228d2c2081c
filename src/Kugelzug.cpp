// SPDX-License-Identifier: GPL-2.0-or-later
#include "Kugelzug.h"

#include "Ansage.h"
#include "LottoZiehung.h"
#include "Scheinbedienung.h"
#include "Spielschein.h"
#include "Statistikliste.h"
#include "Zahlformat.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <array>

namespace {

const QColor HINTERGRUND(250, 250, 200);

QFont Schrift()
{
    QFont schrift(QStringLiteral("courier"), 10, QFont::Bold);
    schrift.setStyleStrategy(QFont::PreferNoShaping);
    return schrift;
}

// printf into a 100-character buffer, in the "C" locale.
[[gnu::format(printf, 1, 2)]] QString formatiert(const char *format, ...)
{
    char CStr[100];
    va_list argumente;
    va_start(argumente, format);
    FormatiereC(CStr, sizeof CStr, format, argumente);
    va_end(argumente);
    return QString::fromLatin1(CStr);
}

// A line of the tip list: "%2d " for each marked number of a block.
QString Zahlenzeile(const bool (&markiert)[50])
{
    QString Str;
    for (int zahl = 1; zahl <= ZAHLEN; ++zahl) {
        if (markiert[zahl])
            Str += formatiert("%2d ", zahl);
    }
    return Str;
}

// The win classes hit from one count to another, as a screen reader says them: "2 mal 3 Richtige,
// 1 mal 5 Richtige"; empty when none.
QString Treffer(const Gewinne &vorher, const Gewinne &nachher)
{
    const std::pair<std::int64_t, const char *> klassen[] = {
        { nachher.dreiRichtige - vorher.dreiRichtige, "3 Richtige" },
        { nachher.vierRichtige - vorher.vierRichtige, "4 Richtige" },
        { nachher.fuenfRichtige - vorher.fuenfRichtige, "5 Richtige" },
        { nachher.fuenfRichtigePlus - vorher.fuenfRichtigePlus, "5 Richtige mit Zusatzzahl" },
        { nachher.sechsRichtige - vorher.sechsRichtige, "6 Richtige" },
    };
    QStringList teile;
    for (const auto &[anzahl, klasse] : klassen) {
        if (anzahl > 0)
            teile << QStringLiteral("%1 mal %2").arg(anzahl).arg(QLatin1String(klasse));
    }
    return teile.join(QStringLiteral(", "));
}

// A list line is activated by a double click or Return, also under desktop themes that would
// activate items on a single click.
class DoppelklickStil : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
        QStyleHintReturn *antwort) const override
    {
        if (hint == SH_ItemView_ActivateItemOnSingleClick)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, antwort);
    }
};

} // namespace

KdeW::KdeW()
{
    setAttribute(Qt::WA_DeleteOnClose);
    setGeometry(1, 1, BILD_BREITE, BILD_HOEHE);
    setMaximumSize(BILD_BREITE, BILD_HOEHE);
    // The pale yellow is fixed, so the texts drawn on it are dark whatever the desktop's colour
    // scheme: a dark scheme's light text would be unreadable here. Lists and buttons draw on their
    // own backgrounds and keep the scheme's colours.
    QPalette farben = palette();
    farben.setColor(QPalette::Window, HINTERGRUND);
    farben.setColor(QPalette::WindowText, Qt::black);
    setPalette(farben);
    setWindowTitle(QStringLiteral("Lotto Simmulator!"));
    setWindowIcon(
        QIcon::fromTheme(QStringLiteral(APP_ID), QIcon(QStringLiteral(":/lotto/" APP_ID ".svg"))));

    const QFont schrift = Schrift();
    auto platziere = [&](QWidget *widget, int x, int y, int breite, int hoehe) {
        widget->setFont(schrift);
        widget->setGeometry(x, y, breite, hoehe);
    };
    auto knopf
        = [&](const QString &text, int x, int y, int breite, int hoehe, void (KdeW::*slot)()) {
              auto *button = new QPushButton(text, this);
              platziere(button, x, y, breite, hoehe);
              connect(button, &QPushButton::clicked, this, slot);
              return button;
          };
    auto beschriftung = [&](const QString &text, int x, int y, int breite, int hoehe) {
        auto *label = new Ergebnisfeld(text, this);
        platziere(label, x, y, breite, hoehe);
        return label;
    };
    auto liste = [&](QListWidget *list, int x, int y, int breite, int hoehe) {
        platziere(list, x, y, breite, hoehe);
        // One line of one font each: the view need not measure every line at every paint.
        list->setUniformItemSizes(true);
        auto *stil = new DoppelklickStil;
        stil->setParent(list);
        list->setStyle(stil);
        connect(list, &QListWidget::activated, this,
            [this, list](const QModelIndex &zeile) { ListItemIndex(list, zeile.row()); });
        return list;
    };

    statusbar = new QStatusBar(this);
    // The visible band along the bottom edge: in a taller bar the message would sit below the
    // window.
    platziere(statusbar, 0, 530, BILD_BREITE, 20);
    statusbar->setSizeGripEnabled(false);

    ButtonNeuerSchein
        = knopf(QStringLiteral("Neuer Spielschein"), 20, 490, 160, 30, &KdeW::NeuerSchein_clicked);
    ButtonStep = knopf(QStringLiteral("Step"), 190, 490, 80, 30, &KdeW::ButtonStep_clicked);
    ButtonStartStop
        = knopf(QStringLiteral("Start/Stop"), 280, 490, 100, 30, &KdeW::ButtonStartStop_clicked);
    ButtonInfo = knopf(QStringLiteral("Info"), 250, 330, 100, 100, &KdeW::ButtonInfo_clicked);
    ButtonAutoTip
        = knopf(QStringLiteral("Auto-Tip"), 250, 450, 100, 30, &KdeW::ButtonAutoTip_clicked);

    Label1 = beschriftung(QString(), 390, 355, 170, 30);
    Label2 = beschriftung(QString(), 570, 355, 30, 30);
    Label3 = beschriftung(QStringLiteral("ZiehungNr:0"), 390, 320, 200, 30);
    Label4 = beschriftung(QStringLiteral("Jahre:0"), 600, 320, 160, 30);
    Label5 = beschriftung(QStringLiteral("Kosten:0.0 DM"), 390, 390, 370, 30);

    ListBox1 = liste(new Statistikliste(this), 390, 425, 370, 95);
    ListBox1->setItemDelegate(new Statistikzeile(ListBox1, 5));
    ListBox1->setAccessibleName(QStringLiteral("Gewinnstatistik"));
    ListBox2 = liste(new QListWidget(this), 20, 325, 198, 110);
    ListBox2->setAccessibleName(QStringLiteral("Tipps des Spielscheins"));

    Ch1 = new QCheckBox(QStringLiteral("Stop bei 6-Richtige"), this);
    platziere(Ch1, 20, 445, 200, 30);
    Ch1->setChecked(true);
    SechsRichtigeStop = true;
    // Whatever changes the box, a click, the keyboard or a screen reader's toggle, the stop
    // follows it.
    connect(Ch1, &QCheckBox::toggled, this, &KdeW::BoxChecked);

    // The ticket is painted on the window itself; the keyboard and screen readers reach it through
    // this child, which lets every mouse press through to the window. Last in the tab order.
    schein = new Scheinbedienung(this);
    schein->setFont(schrift);
    connect(schein, &Scheinbedienung::gedrueckt, this, &KdeW::FeldGedrueckt);
    ansage = new Ansage(this);

    timer = new QTimer(this);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, &KdeW::timerZiehungen);

    bildTakt = new QTimer(this);
    bildTakt->setSingleShot(true);
    bildTakt->setTimerType(Qt::PreciseTimer);
    connect(bildTakt, &QTimer::timeout, this, [this] {
        QCoreApplication::postEvent(this, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
    });

    LottoScheinZeichnen();
}

void KdeW::LottoScheinZeichnen()
{
    timer->stop();
    anzeigeOffen = false; // a run's last batch is void now
    SpielZuruecksetzen(gewinne);
    ListBox1->clear();
    ListBox2->clear();
    Label1->setText(QString());
    Label2->setText(QString());
    Label3->setText(QStringLiteral("ZiehungNr:0"));
    Label4->setText(QStringLiteral("Jahre:0"));
    Label5->setText(QStringLiteral("Kosten:0.0 DM"));
    ScheinBeschreiben();
    SofortMalen(rect());
}

void KdeW::ScheinBeschreiben()
{
    QStringList bloecke;
    for (int block = 1; block <= BLOECKE; ++block) {
        QStringList zahlen;
        for (int zahl = 1; zahl <= ZAHLEN; ++zahl) {
            if (Kreuz[block][zahl])
                zahlen << QString::number(zahl);
        }
        if (!zahlen.isEmpty())
            bloecke
                << QStringLiteral("Block %1: %2").arg(block).arg(zahlen.join(QStringLiteral(", ")));
    }
    schein->setAccessibleDescription(QStringLiteral("Zehn Tippblöcke mit den Zahlen 1 bis 49. ")
        + (bloecke.isEmpty()
                ? QStringLiteral("Nichts angekreuzt.")
                : QStringLiteral("Angekreuzt: ") + bloecke.join(QStringLiteral("; ")) + '.'));
    schein->MarkenAbgleichen();
}

// A run ends a batch on every tick of its 1 ms timer, some 900 times a second, while the screen
// shows 60 or so frames. So during a run the window brings its result texts up to date once per
// frame, right before it paints them: every frame shows the last batch, and screen readers hear
// of a changed text no more often than it can be seen. Everything else that asks for a paint
// during a run waits for the next frame too; our own repaints (a pressed field) stay immediate.
int KdeW::Bildabstand() const
{
    return 1000 / std::clamp(int(screen()->refreshRate()), 30, 240);
}

void KdeW::NaechstesBild()
{
    if (bildTakt->isActive())
        return;
    const int bisDahin = letztesBild.isValid() ? Bildabstand() - int(letztesBild.elapsed()) : 0;
    bildTakt->start(std::max(bisDahin, 0));
}

bool KdeW::event(QEvent *ereignis)
{
    if (ereignis->type() == QEvent::UpdateRequest) {
        if (Start && !sofort && letztesBild.isValid() && letztesBild.elapsed() < Bildabstand()) {
            NaechstesBild();
            return true;
        }
        letztesBild.restart();
        AnzeigeNachholen();
    }
    return QMainWindow::event(ereignis);
}

void KdeW::SofortMalen(const QRect &bereich)
{
    sofort = true;
    repaint(bereich);
    sofort = false;
}

void KdeW::paintEvent(QPaintEvent *ereignis)
{
    const QRegion bereich = ereignis->region();
    if (!bereich.intersects(Spielschein::BEMALT))
        return;
    wMaler.begin(this);
    wMaler.setFont(Schrift());
    for (int block = 1; block <= BLOECKE; ++block) {
        for (int zahl = 1; zahl <= ZAHLEN; ++zahl) {
            if (bereich.intersects(Spielschein::Feldflaeche(block, zahl)))
                FeldZeichnen(block, zahl);
        }
    }
    wMaler.end();
}

// Everything a field shows stays inside its square, so that fields can be painted one at a time.
void KdeW::FeldZeichnen(int block, int zahl)
{
    static const std::array<QString, 50> nummern = [] {
        std::array<QString, 50> texte;
        for (int n = 1; n <= ZAHLEN; ++n)
            texte[n] = formatiert("%2d", n);
        return texte;
    }();
    static const QPen kreuzStift(Qt::black, 2, Qt::SolidLine, Qt::FlatCap);

    const int x = FeldXk[block][zahl];
    const int y = FeldYk[block][zahl];
    wMaler.setPen(Qt::black);
    wMaler.setBrush(Qt::white);
    // A stroked rectangle covers its size plus the 1-pixel pen: 19 + 1 fills the 20 px square.
    wMaler.drawRect(Spielschein::Feldquadrat(block, zahl).adjusted(0, 0, -1, -1));
    wMaler.setPen(Qt::red);
    // "%2d" puts a blank before one-digit numbers; starting 3 px further left centres them too.
    wMaler.drawText(QPoint(zahl > 9 ? x - 9 : x - 12, y + 5), nummern[zahl]);
    if (Kreuz[block][zahl]) {
        wMaler.setPen(kreuzStift);
        wMaler.drawLine(x - 9, y - 9, x + 9, y + 9);
        wMaler.drawLine(x + 9, y - 9, x - 9, y + 9);
    }
}

void KdeW::mousePressEvent(QMouseEvent *Maus)
{
    const QPoint punkt = Maus->position().toPoint();
    for (int block = 1; block <= BLOECKE; ++block) {
        for (int zahl = 1; zahl <= ZAHLEN; ++zahl) {
            if (Spielschein::FeldGetroffen(punkt, block, zahl))
                FeldDruecken(block, zahl);
        }
    }
    Einsatzformel();
}

// A press on a field, from the keyboard or an accessibility client, as a mouse press on it.
void KdeW::FeldGedrueckt(int block, int zahl)
{
    FeldDruecken(block, zahl);
    Einsatzformel();
}

// Shows the field pressed, toggles its mark within the limit of six a block and paints it at once.
void KdeW::FeldDruecken(int block, int zahl)
{
    statusbar->showMessage(formatiert("BlockNr:%2d, Zahl:%2d", block, zahl), 1000);
    bool &markiert = Kreuz[block][zahl];
    if (!markiert && ZaehlerKreuze[block] < MAX_KREUZE) {
        markiert = true;
        ++ZaehlerKreuze[block];
    } else if (markiert && ZaehlerKreuze[block] > 0) {
        markiert = false;
        --ZaehlerKreuze[block];
    } else {
        return;
    }
    SofortMalen(Spielschein::Feldquadrat(block, zahl));
    ScheinBeschreiben();
}

void KdeW::NeuerSchein_clicked()
{
    LottoScheinZeichnen();
}

void KdeW::ButtonAutoTip_clicked()
{
    LottoScheinZeichnen();
    TippsAuslosen();
    ScheinBeschreiben();
    SofortMalen(rect());
}

void KdeW::vergleichen()
{
    boolSechsRichtige = TippsVergleichen(gewinne);
}

void KdeW::ButtonStep_clicked()
{
    timer->stop();
    Start = false;
    ListBox2->clear();
    ZiehungBuchen();
    TipListeFuellen();
    Ziehung();
    ZiehungZaehlen();
    const Gewinne vorher = gewinne;
    vergleichen();
    JahreBerechnen();
    Ergebnisanzeige();

    QStringList zahlen;
    for (int n = 1; n <= 6; ++n)
        zahlen << QString::number(GezogeneZahl[n]);
    const QString treffer = Treffer(vorher, gewinne);
    Ansagen(QStringLiteral("Ziehung %1: %2, Zusatzzahl %3. %4.")
                .arg(ZiehungNr)
                .arg(zahlen.join(QStringLiteral(", ")))
                .arg(GezogeneZahl[7])
                .arg(treffer.isEmpty() ? QStringLiteral("Kein Gewinn") : treffer));
}

void KdeW::ButtonStartStop_clicked()
{
    ListBox2->clear();
    TipListeFuellen();
    if (!Start) {
        timer->start(ZyklusZeit);
        Start = true;
        laufBeginn = gewinne;
        Ansagen(QStringLiteral("Lauf gestartet bei Ziehung %1.").arg(ZiehungNr));
    } else {
        timer->stop();
        Start = false;
        AnzeigeNachholen();
        LaufEndeAnsagen(false);
    }
}

void KdeW::timerZiehungen()
{
    boolSechsRichtige = Ziehungsstapel(gewinne, SechsRichtigeStop);
    const bool beiSechsGestoppt = Start && SechsRichtigeStop && boolSechsRichtige;
    if (SechsRichtigeStop && boolSechsRichtige) {
        timer->stop();
        Start = false;
    }
    JahreBerechnen();
    if (Start) {
        anzeigeOffen = true; // shown with the next frame
        NaechstesBild();
    } else {
        Ergebnisanzeige();
    }
    if (beiSechsGestoppt)
        LaufEndeAnsagen(true);
}

// Screen readers hear of the result texts as they are now, and then the announcement.
void KdeW::Ansagen(const QString &text)
{
    for (Ergebnisfeld *feld : { Label1, Label2, Label3, Label4, Label5 })
        feld->Melden();
    ansage->Sagen(text);
}

// Where a run ended and what it won, once.
void KdeW::LaufEndeAnsagen(bool beiSechs)
{
    const QString treffer = Treffer(laufBeginn, gewinne);
    Ansagen(QStringLiteral("%1Lauf beendet bei Ziehung %2. %3.")
                .arg(beiSechs ? QStringLiteral("6 Richtige! ") : QString())
                .arg(ZiehungNr)
                .arg(treffer.isEmpty() ? QStringLiteral("Im Lauf nichts gewonnen")
                                       : QStringLiteral("Im Lauf gewonnen: ") + treffer));
}

// The result display that a run still owes, at once.
void KdeW::AnzeigeNachholen()
{
    if (anzeigeOffen)
        Ergebnisanzeige();
}

void KdeW::BoxChecked()
{
    SechsRichtigeStop = Ch1->isChecked();
}

void KdeW::TipListeFuellen()
{
    for (int block = 1; block <= BLOECKE; ++block) {
        const QString Str = Zahlenzeile(Kreuz[block]);
        if (!Str.isEmpty())
            ListBox2->addItem(Str);
    }
}

void KdeW::Ergebnisanzeige()
{
    anzeigeOffen = false;
    QString Str;
    for (int n = 1; n <= 6; ++n)
        Str += formatiert("%2d ", GezogeneZahl[n]);
    Label1->setText(Str);
    Label2->setText(formatiert("%2d ", GezogeneZahl[7]));
    Label3->setText(formatiert("ZiehungNr:%7llu ", static_cast<unsigned long long>(ZiehungNr)));
    Label4->setText(formatiert("Jahre:%7.2f ", Jahre));
    Label5->setText(formatiert("Kosten:%7.2f DM", Kosten));
    statusbar->showMessage(
        formatiert("Kapital bei 3 Prozent Verzinsung = %s DM", ExponentText(Zinseszins).text));
    ZeigeAnzahlRichtige();
}

void KdeW::ZeigeAnzahlRichtige()
{
    const QString zeilen[] = {
        formatiert("Anzahl 3  Richtige:%7lld", static_cast<long long>(gewinne.dreiRichtige)),
        formatiert("Anzahl 4  Richtige:%7lld", static_cast<long long>(gewinne.vierRichtige)),
        formatiert("Anzahl 5  Richtige:%7lld", static_cast<long long>(gewinne.fuenfRichtige)),
        formatiert("Anzahl 5+ Richtige:%7lld", static_cast<long long>(gewinne.fuenfRichtigePlus)),
        formatiert("Anzahl 6  Richtige:%7lld", static_cast<long long>(gewinne.sechsRichtige)),
    };
    // Rewriting the lines in place shows the same five lines as clearing and refilling the list,
    // without a model reset per batch, and keeps the user's current line during a run.
    if (ListBox1->count() != static_cast<int>(std::size(zeilen))) {
        ListBox1->clear();
        for (const QString &zeile : zeilen)
            ListBox1->addItem(zeile);
        return;
    }
    for (int i = 0; i < ListBox1->count(); ++i)
        ListBox1->item(i)->setText(zeilen[i]);
}

void KdeW::ListItemIndex(const QListWidget *liste, int index)
{
    if (const QListWidgetItem *zeile = liste->item(index))
        statusbar->showMessage(zeile->text(), 2000);
}

void KdeW::ButtonInfo_clicked()
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("eMail:lotto-simulator@example.org"),
        QStringLiteral("Ich bin arm geblieben und Sie können das auch.\n"
                       "               Mit Lotto! "),
        QMessageBox::NoButton, this);
    box.setDefaultButton(box.addButton(QStringLiteral("&OK"), QMessageBox::AcceptRole));
    box.exec();
}
