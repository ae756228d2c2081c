// SPDX-License-Identifier: GPL-2.0-or-later
// The window on the desktops our users have. CTest runs this suite once per "courier" face, under
// a German locale, and once at scale 2; the expected face and scale come with the environment.
#include "KdeWZugriff.h"
#include "Spielschein.h"

#include <QFontInfo>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QtMath>

#include <clocale>
#include <cmath>
#include <map>

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
    void ganzeTippzeilen();
    void breitesteTexteNichtAbgeschnitten();
    void skaliert();
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

QTEST_MAIN(TestUmgebung)
#include "tst_umgebung.moc"
