// SPDX-License-Identifier: GPL-2.0-or-later
// The window on the desktops our users have. CTest runs this suite once per "courier" face, under
// a German locale, and once at scale 2; the expected face and scale come with the environment.
#include "KdeWZugriff.h"
#include "Spielschein.h"

#include <QBackingStore>
#include <QFontInfo>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTest>
#include <QtMath>
#include <qpa/qplatformbackingstore.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

namespace {

// WCAG 2 relative luminance and contrast ratio.
double Leuchtdichte(QRgb farbe)
{
    auto linear = [](int kanal) {
        const double c = kanal / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(farbe)) + 0.7152 * linear(qGreen(farbe))
        + 0.0722 * linear(qBlue(farbe));
}

double Kontrast(QRgb a, QRgb b)
{
    const double la = Leuchtdichte(a);
    const double lb = Leuchtdichte(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of the text in `bereich` against its background: the background is the commonest
// colour there, the text the colour that stands out most from it (the stems of a bold face are
// drawn in the full text colour). 1 where nothing is drawn.
double TextKontrast(const QImage &bild, const QRect &bereich)
{
    std::map<QRgb, int> haeufigkeit;
    for (int y = bereich.top(); y <= bereich.bottom(); ++y)
        for (int x = bereich.left(); x <= bereich.right(); ++x)
            ++haeufigkeit[bild.pixel(x, y)];
    const QRgb grund = std::max_element(
        haeufigkeit.begin(), haeufigkeit.end(), [](const auto &a, const auto &b) {
            return a.second < b.second;
        })->first;
    double staerkster = 1;
    for (const auto &[farbe, anzahl] : haeufigkeit)
        staerkster = std::max(staerkster, Kontrast(farbe, grund));
    return staerkster;
}

// Nothing but the background on the top, bottom and right edges of `bereich`: no text runs past
// them. (A label's text starts right at its left edge.)
bool RandFrei(const QImage &bild, const QRect &bereich, QRgb grund)
{
    for (int x = bereich.left(); x <= bereich.right(); ++x) {
        if (bild.pixel(x, bereich.top()) != grund || bild.pixel(x, bereich.bottom()) != grund)
            return false;
    }
    for (int y = bereich.top(); y <= bereich.bottom(); ++y) {
        if (bild.pixel(bereich.right(), y) != grund)
            return false;
    }
    return true;
}

QImage Bild(QWidget &w)
{
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// A rectangle of the window in the device pixels of its picture.
QRect Geraet(const QRect &r, qreal faktor)
{
    return QRect(QPoint(qFloor(r.left() * faktor), qFloor(r.top() * faktor)),
        QPoint(qCeil((r.right() + 1) * faktor) - 1, qCeil((r.bottom() + 1) * faktor) - 1));
}

// The colours of qt6ct's "darker" scheme, a common dark theme for Qt programs outside KDE, in the
// order of QPalette::ColorRole.
QPalette DunklesSchema()
{
    const char *farben
        = "#ffffffff, #ff424245, #ff979797, #ff5e5c5b, #ff302f2e, #ff4a4947, #ffffffff, "
          "#ffffffff, #ffffffff, #ff3d3d3d, #ff222020, #ffe7e4e0, #ff12608a, #fff9f9f9, "
          "#ff0986d3, #ffa70b06, #ff5c5b5a, #ffffffff, #ff3f3f36, #ffffffff, #80ffffff";
    QPalette schema;
    const QStringList liste = QString::fromLatin1(farben).split(QStringLiteral(", "));
    for (int rolle = 0; rolle < liste.size(); ++rolle)
        schema.setColor(QPalette::ColorRole(rolle), QColor::fromString(liste[rolle]));
    return schema;
}

} // namespace

class TestUmgebung : public QObject
{
    Q_OBJECT

    std::unique_ptr<KdeW> fenster;
    KdeWZugriff zugriff() { return { *fenster }; }

    void oeffnen()
    {
        fenster = NeuesFenster();
        QVERIFY(QTest::qWaitForWindowExposed(fenster.get()));
    }

    // The widest texts a long run shows: past ten million draws, 350 million DM staked, the
    // largest finite capital and seven-digit win counts.
    void breitesteTexte()
    {
        zugriff().autoTip()->click();
        zugriff().step()->click();
        ZiehungNr = 20'000'000;
        Jahre = 20'000'000 / 52.0;
        Kosten = 20'000'000 * 17.5;
        Zinseszins = Erweitert::groesstes();
        zugriff().gewinne() = { 9'999'999, 9'999'999, 9'999'999, 9'999'999, 9'999'999 };
        zugriff().ergebnisanzeige();
        QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void init() { QApplication::setPalette(QPalette()); }
    void cleanup()
    {
        fenster.reset();
        QApplication::setPalette(QPalette());
    }

    void umgebung();
    void zahlenMitDezimalpunkt();
    void textLesbar_data();
    void textLesbar();
    void fuenfStatistikzeilen();
    void statistikWieStandardliste_data();
    void statistikWieStandardliste();
    void statistikNachVielenStapeln();
    void ganzeTippzeilen();
    void breitesteTexteNichtAbgeschnitten();
    void skaliert();
    void feldWieGanzGemalt();
    void zahlenMittig();
};

// The environment this run was started for is the one the window gets.
void TestUmgebung::umgebung()
{
    // QApplication took the process locale from the environment: the C library's own decimal
    // point is the comma here.
    QCOMPARE(QString::fromLatin1(std::localeconv()->decimal_point), QStringLiteral(","));
    oeffnen();
    const QString schrift = qEnvironmentVariable("LOTTO_SCHRIFT");
    QVERIFY(!schrift.isEmpty());
    const QString gefunden = QFontInfo(zugriff().statistik()->font()).family();
    QVERIFY2(gefunden.startsWith(schrift), qPrintable(gefunden));
    const QString faktor = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1"));
    QCOMPARE(fenster->devicePixelRatioF(), faktor.toDouble());
}

void TestUmgebung::zahlenMitDezimalpunkt()
{
    oeffnen();
    auto z = zugriff();
    z.autoTip()->click();
    for (int i = 0; i < 53; ++i)
        z.step()->click();
    QCOMPARE(z.label(4)->text(), QStringLiteral("Jahre:   1.02 "));
    QCOMPARE(z.label(5)->text(), QStringLiteral("Kosten: 927.50 DM"));
    QVERIFY(QRegularExpression(
        QStringLiteral(R"(^Kapital bei 3 Prozent Verzinsung = 9\.\d{6}E\+02 DM$)"))
                .match(z.status())
                .hasMatch());
    QStringList texte = z.statistikZeilen() + z.tippZeilen();
    for (int n = 1; n <= 5; ++n)
        texte << z.label(n)->text();
    texte << z.status();
    for (const QString &text : std::as_const(texte))
        QVERIFY2(!text.contains(','), qPrintable(text));
}

void TestUmgebung::textLesbar_data()
{
    QTest::addColumn<QPalette>("schema");
    QTest::newRow("light") << QPalette();
    QTest::newRow("dark") << DunklesSchema();
}

// WCAG AA: at least 4.5 : 1 for every text, on the window's pale yellow as in the lists and on
// the buttons.
void TestUmgebung::textLesbar()
{
    QFETCH(QPalette, schema);
    QApplication::setPalette(schema);
    oeffnen();
    auto z = zugriff();
    z.autoTip()->click();
    z.step()->click();
    z.statusbar()->showMessage(
        QStringLiteral("Kapital bei 3 Prozent Verzinsung = 1.750000E+01 DM"));
    QCoreApplication::processEvents();
    const QImage bild = Bild(*fenster);
    QCOMPARE(bild.pixel(5, bild.height() / 2), qRgb(250, 250, 200));

    QCheckBox *box = z.ch1();
    const int zeichen = box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box)
        + box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
    const std::pair<const char *, QRect> texte[] = {
        { "Label1", z.label(1)->geometry() },
        { "Label2", z.label(2)->geometry() },
        { "Label3", z.label(3)->geometry() },
        { "Label4", z.label(4)->geometry() },
        { "Label5", z.label(5)->geometry() },
        { "check box text", box->geometry().adjusted(zeichen, 0, 0, 0) },
        { "status line", z.statusbar()->geometry() },
        { "statistics list",
            z.statistik()->viewport()->geometry().translated(z.statistik()->pos()) },
        { "tip list", z.tipps()->viewport()->geometry().translated(z.tipps()->pos()) },
        { "Step", z.step()->geometry().adjusted(4, 4, -4, -4) },
        { "Auto-Tip", z.autoTip()->geometry().adjusted(4, 4, -4, -4) },
    };
    for (const auto &[name, bereich] : texte) {
        const double kontrast = TextKontrast(bild, Geraet(bereich, fenster->devicePixelRatioF()));
        QVERIFY2(kontrast >= 4.5, qPrintable(QStringLiteral("%1: %2 : 1").arg(name).arg(kontrast)));
    }
}

void TestUmgebung::fuenfStatistikzeilen()
{
    oeffnen();
    breitesteTexte();
    QListWidget *liste = zugriff().statistik();
    QCOMPARE(liste->count(), 5);
    QVERIFY(!liste->verticalScrollBar()->isVisible());
    QCOMPARE(liste->verticalScrollBar()->maximum(), 0);
    const QFontMetrics metrik(liste->font());
    for (int i = 0; i < liste->count(); ++i) {
        const QRect zeile = liste->visualItemRect(liste->item(i));
        QVERIFY(zeile.top() >= 0 && zeile.bottom() < liste->viewport()->height());
        // The glyphs themselves fit their line, whatever room the face asks for around them.
        QVERIFY(metrik.tightBoundingRect(liste->item(i)->text()).height() < zeile.height());
        QVERIFY(metrik.horizontalAdvance(liste->item(i)->text()) < zeile.width());
    }
}

// The statistics lines look exactly as the same lines in a standard list with the style's own item
// drawing: plain, selected, too long for the line, under a dark scheme, in an inactive window.
void TestUmgebung::statistikWieStandardliste_data()
{
    QTest::addColumn<bool>("dunkel");
    QTest::addColumn<int>("ausgewaehlt");
    QTest::addColumn<QString>("langeZeile");
    QTest::addColumn<bool>("inaktiv");
    QTest::newRow("plain") << false << -1 << QString() << false;
    QTest::newRow("selected line") << false << 2 << QString() << false;
    QTest::newRow("line too long")
        << false << -1 << QStringLiteral("Anzahl 3  Richtige:").repeated(3) << false;
    QTest::newRow("dark scheme") << true << 1 << QString() << false;
    QTest::newRow("inactive window") << false << 3 << QString() << true;
}

void TestUmgebung::statistikWieStandardliste()
{
    QFETCH(bool, dunkel);
    QFETCH(int, ausgewaehlt);
    QFETCH(QString, langeZeile);
    QFETCH(bool, inaktiv);
    if (dunkel)
        QApplication::setPalette(DunklesSchema());
    if (inaktiv) { // a scheme whose text is paler in windows in the background
        QPalette schema;
        schema.setColor(QPalette::Inactive, QPalette::Text, QColor(90, 90, 90));
        QApplication::setPalette(schema);
    }
    oeffnen();
    breitesteTexte();
    QListWidget *liste = zugriff().statistik();
    if (!langeZeile.isEmpty())
        liste->item(0)->setText(langeZeile);

    // The same place, font and lines; five lines share the height as in the window.
    struct Zeile : QStyledItemDelegate
    {
        using QStyledItemDelegate::QStyledItemDelegate;
        QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
        {
            const auto *liste = static_cast<const QListWidget *>(parent());
            QSize groesse = QStyledItemDelegate::sizeHint(option, index);
            groesse.setHeight(std::min(groesse.height(), liste->contentsRect().height() / 5));
            return groesse;
        }
    };
    auto *standard = new QListWidget(fenster.get());
    standard->setGeometry(liste->geometry());
    standard->setFont(liste->font());
    standard->setUniformItemSizes(true);
    standard->setItemDelegate(new Zeile(standard));
    for (int i = 0; i < liste->count(); ++i)
        standard->addItem(liste->item(i)->text());
    standard->lower();
    standard->show();
    if (ausgewaehlt >= 0) {
        liste->setCurrentRow(ausgewaehlt);
        standard->setCurrentRow(ausgewaehlt);
    }
    QWidget anderes;
    if (inaktiv) {
        anderes.show();
        anderes.activateWindow();
        QVERIFY(Warten([&] { return !fenster->isActiveWindow(); }));
    } else {
        QVERIFY(fenster->isActiveWindow());
    }
    QCOMPARE(Bild(*liste), Bild(*standard));
}

// Batch after batch the lines change only in their last digits, and are repainted only there; what
// the screen shows of the list then is what a full repaint of it shows. Also when a count gains a
// digit, the list is refilled, or a line is selected in between.
void TestUmgebung::statistikNachVielenStapeln()
{
    oeffnen();
    auto z = zugriff();
    QListWidget *liste = z.statistik();
    const QRect listenbereich
        = Geraet(QRect(liste->mapTo(fenster.get(), QPoint(0, 0)), liste->size()),
            fenster->devicePixelRatioF());
    // What the window's backing store holds, the screen's picture of it; and the list in a picture
    // of the whole window painted afresh.
    auto aufDemSchirm = [&] {
        return fenster->backingStore()
            ->handle()
            ->toImage()
            .copy(listenbereich)
            .convertToFormat(QImage::Format_RGB32);
    };
    auto ganzGemalt = [&] { return Bild(*fenster).copy(listenbereich); };
    z.autoTip()->click();
    z.step()->click();
    for (int stapel = 1; stapel <= 60; ++stapel) {
        fenster->timerZiehungen();
        if (stapel == 20)
            z.gewinne().dreiRichtige = 9'999'990; // on to eight digits
        if (stapel == 21)
            QVERIFY(z.gewinne().dreiRichtige >= 10'000'000);
        if (stapel == 30)
            z.neuerSchein()->click(); // the list is emptied ...
        if (stapel == 31)
            z.autoTip()->click(); // ... and filled again by the next batch
        if (stapel == 45)
            liste->setCurrentRow(2);
        // The frame is painted when the event loop gets to it, late on a busy machine; a line
        // repainted only in part would leave an old digit on the screen for good.
        QVERIFY2(Warten([&] { return aufDemSchirm() == ganzGemalt(); }),
            qPrintable(QStringLiteral("batch %1").arg(stapel)));
    }
}

void TestUmgebung::ganzeTippzeilen()
{
    oeffnen();
    auto z = zugriff();
    z.autoTip()->click();
    z.step()->click();
    QCoreApplication::processEvents();
    QListWidget *liste = z.tipps();
    QCOMPARE(liste->count(), 10);
    QVERIFY(!liste->horizontalScrollBar()->isVisible());
    const QFontMetrics metrik(liste->font());
    for (int i = 0; i < liste->count(); ++i) {
        const QString text = liste->item(i)->text();
        QVERIFY(metrik.horizontalAdvance(text) < liste->viewport()->width());
    }
    // The first lines show in full height.
    QVERIFY(liste->visualItemRect(liste->item(0)).top() >= 0);
    QVERIFY(liste->visualItemRect(liste->item(4)).bottom() < liste->viewport()->height());
}

// No label, the check box or the status line cuts its text: the outermost pixels of each show the
// window's background.
void TestUmgebung::breitesteTexteNichtAbgeschnitten()
{
    oeffnen();
    breitesteTexte();
    auto z = zugriff();
    QCOMPARE(z.label(3)->text(), QStringLiteral("ZiehungNr:20000000 "));
    QCOMPARE(z.label(5)->text(), QStringLiteral("Kosten:350000000.00 DM"));
    QVERIFY(z.status().contains(QStringLiteral("1.189731E+4932")));
    const QImage bild = Bild(*fenster);
    const QRgb grund = qRgb(250, 250, 200);
    const std::pair<const char *, QWidget *> widgets[] = {
        { "Label1", z.label(1) },
        { "Label2", z.label(2) },
        { "Label3", z.label(3) },
        { "Label4", z.label(4) },
        { "Label5", z.label(5) },
        { "check box", z.ch1() },
        { "status line", z.statusbar() },
    };
    for (const auto &[name, widget] : widgets) {
        const QRect bereich = Geraet(widget->geometry(), fenster->devicePixelRatioF());
        QVERIFY2(RandFrei(bild, bereich, grund), name);
        QVERIFY2(TextKontrast(bild, bereich) > 1, name);
    }
    // The status line's glyphs keep a pixel's distance from the window's bottom edge.
    const QRect unten(0, bild.height() - 1, bild.width(), 1);
    QVERIFY(RandFrei(bild, unten, grund));
}

// Scaled, a press on the screen's pixels of a field marks that field and the lines stay crisp.
void TestUmgebung::skaliert()
{
    oeffnen();
    const qreal faktor = fenster->devicePixelRatioF();
    const QPoint mitte = Mitte(10, 49);
    QWindow *fensterflaeche = fenster->windowHandle();
    QVERIFY(fensterflaeche);
    // QTest delivers window events through the platform's scaling, from device pixels.
    const QPoint geraet(qRound(mitte.x() * faktor), qRound(mitte.y() * faktor));
    const QPoint logisch(qRound(geraet.x() / faktor), qRound(geraet.y() / faktor));
    QTest::mousePress(fensterflaeche, Qt::LeftButton, {}, logisch);
    QTest::mouseRelease(fensterflaeche, Qt::LeftButton, {}, logisch);
    QVERIFY(Kreuz[10][49]);
    QCOMPARE(ZaehlerKreuze[10], 1);

    const QImage bild = Bild(*fenster);
    QCOMPARE(bild.size(), QSize(qRound(780 * faktor), qRound(550 * faktor)));
    // Outline and cross are drawn without anti-aliasing: in the ticket no pixel is grey.
    const QRect schein = Geraet(Spielschein::BEREICH, faktor);
    for (int y = schein.top(); y <= schein.bottom(); ++y) {
        for (int x = schein.left(); x <= schein.right(); ++x) {
            const QRgb p = bild.pixel(x, y);
            const bool grau
                = qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) && qRed(p) > 0 && qRed(p) < 255;
            QVERIFY2(!grau, qPrintable(QStringLiteral("grey at %1, %2").arg(x).arg(y)));
        }
    }
    // The cross reaches the corners of the field's scaled square.
    const QPoint ecke = (mitte + QPoint(7, 7)) * faktor;
    QCOMPARE(bild.pixel(ecke), qRgb(0, 0, 0));
}

// A field repainted alone, pressed or passed by the focus frame, leaves on the screen what a full
// repaint of the ticket shows: at every scale, with the neighbours' outlines whole.
void TestUmgebung::feldWieGanzGemalt()
{
    oeffnen();
    Scheinbedienung *schein = zugriff().schein();
    schein->setFocus();
    QCoreApplication::processEvents();
    // From field 1 on: 17, 18, 25 and 24 marked and 17 unmarked again by keyboard, 26 by mouse.
    for (Qt::Key taste : { Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Right, Qt::Key_Space,
             Qt::Key_Right, Qt::Key_Space, Qt::Key_Down, Qt::Key_Space, Qt::Key_Left, Qt::Key_Space,
             Qt::Key_Up, Qt::Key_Space })
        QTest::keyClick(schein, taste);
    QTest::mouseClick(fenster.get(), Qt::LeftButton, {}, Mitte(1, 26));
    QCOMPARE(Kreuz[1][18] + Kreuz[1][25] + Kreuz[1][24] + Kreuz[1][17] + Kreuz[1][26], 4);
    QCoreApplication::processEvents();
    const QRect schirm = Geraet(Spielschein::BEREICH, fenster->devicePixelRatioF());
    const QImage nachDruck = fenster->backingStore()->handle()->toImage().copy(schirm);
    fenster->repaint();
    QCOMPARE(nachDruck, fenster->backingStore()->handle()->toImage().copy(schirm));
}

// Every number sits in the middle of its square, one-digit and two-digit numbers each the same way:
// the ink's horizontal centre, in window pixels, within a pixel of the median of its kind, and that
// within a pixel and a half of the square's centre.
void TestUmgebung::zahlenMittig()
{
    oeffnen();
    const qreal faktor = fenster->devicePixelRatioF();
    const QImage bild = Bild(*fenster);
    std::vector<double> versatz, art[2]; // of the ink's centre from the square's; by kind
    for (int feld = 0; feld < BLOECKE * ZAHLEN; ++feld) {
        const int zahl = feld % ZAHLEN + 1;
        const QRect q = Geraet(Spielschein::Feldquadrat(feld / ZAHLEN + 1, zahl), faktor);
        int links = q.right(), rechts = q.left();
        for (int y = q.top(); y <= q.bottom(); ++y) {
            for (int x = q.left(); x <= q.right(); ++x) {
                if (qRed(bild.pixel(x, y)) - qGreen(bild.pixel(x, y)) > 60) { // red, also faded
                    links = std::min(links, x);
                    rechts = std::max(rechts, x);
                }
            }
        }
        versatz.push_back((links + rechts - q.left() - q.right()) / 2.0 / faktor);
        art[zahl > 9].push_back(versatz.back());
    }
    for (auto &werte : art)
        std::nth_element(werte.begin(), werte.begin() + werte.size() / 2, werte.end());
    const double ueblich[2] = { art[0][art[0].size() / 2], art[1][art[1].size() / 2] };
    QString abseits;
    for (int feld = 0; feld < BLOECKE * ZAHLEN; ++feld) {
        if (std::abs(versatz[feld] - ueblich[feld % ZAHLEN + 1 > 9]) > 1)
            abseits += QStringLiteral(" block %1 number %2 at %3 px;")
                           .arg(feld / ZAHLEN + 1)
                           .arg(feld % ZAHLEN + 1)
                           .arg(versatz[feld]);
    }
    QVERIFY2(abseits.isEmpty() && std::abs(ueblich[0]) <= 1.5 && std::abs(ueblich[1]) <= 1.5,
        qPrintable(QStringLiteral("numbers off their squares' centres, where one-digit numbers "
                                  "sit at %1 px and two-digit ones at %2 px:%3")
                       .arg(ueblich[0])
                       .arg(ueblich[1])
                       .arg(abseits)));
}

QTEST_MAIN(TestUmgebung)
#include "tst_umgebung.moc"
