// SPDX-License-Identifier: GPL-2.0-or-later
// The extended-precision capital: the same bits as the x87 unit's long double, draw by draw, and
// the same "%1.6LE" text as the C library, on every processor.
#include "Lottomodell.h"

#include <QTest>

#include <cmath>
#include <cstring>
#include <random>

namespace {

// Where long double is the x87 format, it is the reference for every result.
constexpr bool X87 = std::numeric_limits<long double>::digits == 64
    && std::numeric_limits<long double>::max_exponent == 16384;

// Exponent and significand of an x87 long double as it lies in memory.
Erweitert Bits(long double x87)
{
    std::uint64_t signifikand;
    std::uint16_t exponent;
    std::memcpy(&signifikand, &x87, 8);
    std::memcpy(&exponent, reinterpret_cast<const char *>(&x87) + 8, 2);
    return Erweitert::ausBits(exponent, signifikand);
}

// The value n 2^zweier, n > 0 rounded to nothing: n has at most 64 bits.
Erweitert Ganz(std::uint64_t n, int zweier)
{
    const int vorne = std::countl_zero(n);
    return Erweitert::ausBits(std::uint16_t(Erweitert::BIAS + 63 - vorne + zweier), n << vorne);
}

QByteArray Bibliothek(long double wert)
{
    char text[32];
    std::snprintf(text, sizeof text, "%1.6LE", wert);
    return text;
}

// FNV-1a over the bits of every capital of a run: one figure that differs if any booking does.
struct Fingerabdruck
{
    std::uint64_t wert = 0xcbf29ce484222325;

    void dazu(std::uint8_t byte) { wert = (wert ^ byte) * 0x100000001b3; }
    void dazu(Erweitert x)
    {
        for (std::uint64_t teil : { std::uint64_t { x.exponent() }, x.signifikand() }) {
            for (int byte = 0; byte < 8; ++byte)
                dazu(std::uint8_t(teil >> (8 * byte)));
        }
    }
    void dazu(const char *text)
    {
        while (*text)
            dazu(std::uint8_t(*text++));
    }
};

// Where the compiler has a 128-bit integer, Wort128 is it.
constexpr bool MIT_INT128 = !std::is_same_v<Wort128, Wortpaar>;

const double EINSAETZE[] = { 2.5, 4.0, 5.5, 7.0, 8.5, 10.0, 11.5, 13.0, 14.5, 16.0, 17.5 };

} // namespace

Q_DECLARE_METATYPE(Erweitert)

class TestErweitert : public QObject
{
    Q_OBJECT

    template <typename Wort> void buchungenMit();

private Q_SLOTS:
    void buchungen_data();
    void buchungen();
    void rechnenWieX87();
    void grenzfaelle_data();
    void grenzfaelle();
    void texte_data();
    void texte();
    void zehnerpotenzen();
    void umwandlung();
};

void TestErweitert::buchungen_data()
{
    QTest::addColumn<bool>("wortpaar"); // the 128-bit words as two 64-bit ones
    QTest::addColumn<int>("ziehungen");
    QTest::addColumn<bool>("wechselnd"); // the stake changes at random among its eleven values
    QTest::addColumn<int>("ersteUnendliche");
    QTest::addColumn<quint64>("fingerabdruck");
    QTest::addColumn<quint64>("texte"); // of our own texts of the sampled capitals
    for (const bool wortpaar : { false, true }) {
        if (!wortpaar && !MIT_INT128)
            continue;
        const char *wort = wortpaar ? "Wortpaar" : "Int128";
        QTest::addRow("%s: 20 million draws at 17.50 DM", wort)
            << wortpaar << 20'000'000 << false << 19'672'428 << Q_UINT64_C(0xa95335a7a1f1e3e8)
            << Q_UINT64_C(0xa6a35c82523d2f84);
        QTest::addRow("%s: 3 million draws, changing stakes", wort)
            << wortpaar << 3'000'000 << true << 0 << Q_UINT64_C(0xc93be727c944fbbd)
            << Q_UINT64_C(0x36481ad54441f793);
    }
}

// Every booking has the bits of the x87 unit's; the overflow to infinity comes at the same draw
// and stays. On a sample, our own text is the C library's. The fingerprints, taken on x87, show
// the same bits and texts on processors without one.
void TestErweitert::buchungen()
{
    QFETCH(bool, wortpaar);
    if (wortpaar)
        buchungenMit<Wortpaar>();
    else
        buchungenMit<Wort128>();
}

template <typename Wort> void TestErweitert::buchungenMit()
{
    QFETCH(int, ziehungen);
    QFETCH(bool, wechselnd);
    QFETCH(int, ersteUnendliche);
    QFETCH(quint64, fingerabdruck);
    QFETCH(quint64, texte);
    std::mt19937 zufall(20261207);
    double kosten = 0;
    ErweitertAus<Wort> kapital;
    long double x87 = 0;
    Fingerabdruck abdruck, textAbdruck;
    int abweichungen = 0, unendlichAb = 0, texteVerglichen = 0;
    double einsatz = 17.5;
    for (int nr = 1; nr <= ziehungen; ++nr) {
        if (wechselnd && zufall() % 7 == 0)
            einsatz = EINSAETZE[zufall() % 11];
        Buchen(kosten, kapital, einsatz);
        const Erweitert wert = Erweitert::ausBits(kapital.exponent(), kapital.signifikand());
        abdruck.dazu(wert);
        if (kapital.istUnendlich() && unendlichAb == 0)
            unendlichAb = nr;
        if constexpr (X87) {
            x87 = x87 * static_cast<long double>(ZINSFAKTOR) + einsatz;
            abweichungen += !(Bits(x87) == wert) || wert.alsLongDouble() != x87;
        }
        if (nr % 211 == 0 || nr < 2000 || (nr > 19'672'000 && nr < 19'672'500)) {
            const Exponentialtext eigen = ExponentTextEigen(wert);
            ++texteVerglichen;
            textAbdruck.dazu(eigen.text);
            if (X87 && Bibliothek(x87) != eigen.text) {
                QFAIL(qPrintable(QStringLiteral("draw %1: %2 against %3")
                                     .arg(nr)
                                     .arg(Bibliothek(x87), eigen.text)));
            }
        }
    }
    QCOMPARE(abweichungen, 0);
    QCOMPARE(unendlichAb, ersteUnendliche);
    QCOMPARE(abdruck.wert, fingerabdruck);
    QVERIFY(texteVerglichen > ziehungen / 211);
    QCOMPARE(textAbdruck.wert, texte);
}

// Products and sums of random operands over the whole range, with any distance between the
// exponents of a sum, rounded as the x87 unit rounds them.
void TestErweitert::rechnenWieX87()
{
    if constexpr (!X87)
        QSKIP("the reference, an x87 long double, is not on this processor");
    std::mt19937_64 zufall(4932);
    int abweichungen = 0;
    auto operand = [&](int von, int bis) {
        std::uint64_t signifikand = zufall() | Erweitert::FUEHRENDES_BIT;
        // Short significands too, whose products and sums are often exact or exact ties.
        if (zufall() % 4 == 0)
            signifikand &= ~std::uint64_t {} << (zufall() % 64);
        const int exponent = von + int(zufall() % std::uint64_t(bis - von + 1));
        return Erweitert::ausBits(std::uint16_t(exponent), signifikand);
    };
    for (int i = 0; i < 2'000'000; ++i) {
        const Erweitert a = operand(Erweitert::BIAS - 8000, Erweitert::BIAS + 16383);
        const Erweitert b = operand(Erweitert::BIAS - 8000, Erweitert::BIAS + 8000);
        // A summand within and just beyond the 64 bits of a, where sums round.
        const Erweitert c = operand(a.exponent() - 69, a.exponent());
        abweichungen += !(a * b == Bits(a.alsLongDouble() * b.alsLongDouble()));
        abweichungen += !(a + b == Bits(a.alsLongDouble() + b.alsLongDouble()));
        abweichungen += !(a + c == Bits(a.alsLongDouble() + c.alsLongDouble()));
    }
    QCOMPARE(abweichungen, 0);
}

void TestErweitert::grenzfaelle_data()
{
    QTest::addColumn<Erweitert>("ergebnis");
    QTest::addColumn<Erweitert>("erwartet");
    const Erweitert eins(1.0);
    const std::uint64_t halb = Erweitert::FUEHRENDES_BIT;
    auto wert = [](int zweier, std::uint64_t signifikand) {
        return Erweitert::ausBits(std::uint16_t(Erweitert::BIAS + zweier), signifikand);
    };
    // 1 + 2^-64 is halfway between 1 and the next value: the bit below it decides.
    QTest::newRow("sum at a distance of 64, a tie") << eins + wert(-64, halb) << eins;
    QTest::newRow("sum at a distance of 64, just above the tie")
        << eins + wert(-64, halb + 1) << wert(0, halb + 1);
    QTest::newRow("sum at a distance of 65, below half")
        << wert(0, halb + 1) + wert(-65, ~std::uint64_t {}) << wert(0, halb + 1);
    QTest::newRow("sum up to the next power of two")
        << wert(0, ~std::uint64_t {}) + wert(-64, halb) << Erweitert(2.0);
    QTest::newRow("product of the largest significands") << wert(0, ~std::uint64_t {})
            * wert(0, ~std::uint64_t {}) << wert(1, ~std::uint64_t {} - 1);
    QTest::newRow("product past the range")
        << Erweitert::groesstes() * Erweitert(1.0000001) << Erweitert::unendlich();
    QTest::newRow("sum past the range")
        << Erweitert::groesstes() + Erweitert::groesstes() << Erweitert::unendlich();
    QTest::newRow("infinity stays")
        << Erweitert::unendlich() * ZINSFAKTOR_ERWEITERT + eins << Erweitert::unendlich();
}

void TestErweitert::grenzfaelle()
{
    QFETCH(Erweitert, ergebnis);
    QFETCH(Erweitert, erwartet);
    QCOMPARE(ergebnis.exponent(), erwartet.exponent());
    QCOMPARE(ergebnis.signifikand(), erwartet.signifikand());
}

void TestErweitert::texte_data()
{
    QTest::addColumn<Erweitert>("wert");
    QTest::newRow("zero") << Erweitert();
    QTest::newRow("infinity") << Erweitert::unendlich();
    QTest::newRow("largest") << Erweitert::groesstes();
    QTest::newRow("2.5") << Erweitert(2.5);
    QTest::newRow("17.5") << Erweitert(17.5);
    QTest::newRow("double max x 4")
        << Erweitert(std::numeric_limits<double>::max()) * Erweitert(4.0);
    // Exact halfway points of the seventh digit, (q + 1/2) 10^s = (2q + 1) 5^s 2^(s-1), and the
    // values next to them; ties go to the even digit.
    std::mt19937 zufall(7);
    for (int s = 0; s <= 17; ++s) {
        for (int versuch = 0; versuch < 4; ++versuch) {
            const std::uint64_t q = 1'000'000 + zufall() % 9'000'000;
            std::uint64_t n = 2 * q + 1;
            for (int i = 0; i < s; ++i)
                n *= 5;
            if (std::countl_zero(n) == 0)
                continue;
            const Erweitert halb = Ganz(n, s - 1);
            QTest::addRow("(%llu + 1/2) 10^%d", (unsigned long long)q, s) << halb;
            QTest::addRow("(%llu + 1/2) 10^%d, one below", (unsigned long long)q, s)
                << Erweitert::ausBits(halb.exponent(), halb.signifikand() - 1);
            QTest::addRow("(%llu + 1/2) 10^%d, one above", (unsigned long long)q, s)
                << Erweitert::ausBits(halb.exponent(), halb.signifikand() + 1);
        }
    }
    // Powers of ten and their neighbours, where the decimal exponent changes, up and down the
    // range.
    for (int p : { 0, 1, 6, 7, 19, 27, 28, 300, 4931 }) {
        const Erweitert zehn = Erweitert::ausLongDouble(std::pow(10.0L, p));
        QTest::addRow("10^%d", p) << zehn;
        QTest::addRow("10^%d, one below", p)
            << Erweitert::ausBits(zehn.exponent(), zehn.signifikand() - 1);
        QTest::addRow("9999999.5 10^%d", p - 6)
            << Erweitert::ausLongDouble(9999999.5L * std::pow(10.0L, p - 6));
    }
    std::mt19937_64 breit(16383);
    for (int i = 0; i < 200; ++i) {
        const auto exponent = std::uint16_t(Erweitert::BIAS - 3000 + int(breit() % (16383 + 3000)));
        QTest::addRow("random %d", i)
            << Erweitert::ausBits(exponent, breit() | Erweitert::FUEHRENDES_BIT);
    }
}

// Our own conversion against the C library's, wherever long double holds the value (x87 and
// binary128 alike).
void TestErweitert::texte()
{
    QFETCH(Erweitert, wert);
    if constexpr (!LONG_DOUBLE_HAELT_ERWEITERT)
        QSKIP("the C library cannot print this value here");
    const QByteArray bibliothek = Bibliothek(wert.alsLongDouble());
    QCOMPARE(QByteArray(ExponentTextEigen(wert).text), bibliothek);
    QCOMPARE(QByteArray(ExponentTextBibliothek(wert).text), bibliothek);
    QCOMPARE(QByteArray(ExponentText(wert).text), bibliothek);
}

// Where the decimal exponent steps up, on every processor: at every power of ten up to the largest
// extended value (exact up to 10^27, the product of the rounded powers beyond), the next values
// above and below it, and a value just below that rounds up to it, all read "1.000000E+k". Where
// long double holds the values, the C library says the same.
void TestErweitert::zehnerpotenzen()
{
    const char *wie[] = { "", ", the next value above", ", the next value below", " x 0.99999997" };
    Erweitert zehn(1.0);
    for (int k = 1; k <= 4932; ++k) {
        zehn = zehn * Erweitert(10.0);
        const Erweitert werte[]
            = { zehn, Erweitert::ausBits(zehn.exponent(), zehn.signifikand() + 1),
                  Erweitert::ausBits(zehn.exponent(), zehn.signifikand() - 1),
                  zehn * Erweitert(0.99999997) };
        const QByteArray erwartet = "1.000000E+" + QByteArray::number(k).rightJustified(2, '0');
        for (int i = 0; i < 4; ++i) {
            const QByteArray eigen(ExponentTextEigen(werte[i]).text);
            QVERIFY2(eigen == erwartet,
                qPrintable(QStringLiteral("10^%1%2 written as %3").arg(k).arg(wie[i], eigen)));
            if constexpr (LONG_DOUBLE_HAELT_ERWEITERT)
                QCOMPARE(Bibliothek(werte[i].alsLongDouble()), erwartet);
        }
    }
}

void TestErweitert::umwandlung()
{
    // From a double exactly, the interest factor too.
    QVERIFY(ZINSFAKTOR_ERWEITERT
        == Erweitert::ausBits(0x3FFF, 0x3FF0025CF296AD4Dull << 11 | Erweitert::FUEHRENDES_BIT));
    QCOMPARE(Erweitert(0.5).alsLongDouble(), 0.5L);
    QCOMPARE(Erweitert(std::numeric_limits<double>::denorm_min()).alsLongDouble(),
        static_cast<long double>(std::numeric_limits<double>::denorm_min()));
    // To and from long double without loss where it holds the values, rounded where it holds more.
    const Erweitert werte[] = { Erweitert(17.5), Erweitert::groesstes(),
        Ganz(0xFFFF'FFFF'FFFF'FFFF, 1000), Ganz(12345, -40), Erweitert::unendlich() };
    for (const Erweitert &x : werte)
        QVERIFY(!LONG_DOUBLE_HAELT_ERWEITERT || Erweitert::ausLongDouble(x.alsLongDouble()) == x);
    if constexpr (std::numeric_limits<long double>::digits > 64) {
        // Halfway between two extended values: to the even one.
        const long double mitte
            = std::ldexp(static_cast<long double>(0x8000'0000'0000'0001ull) * 2 + 1, -64);
        QVERIFY(Erweitert::ausLongDouble(mitte)
            == Erweitert::ausBits(Erweitert::BIAS, 0x8000'0000'0000'0002ull));
    }
}

QTEST_GUILESS_MAIN(TestErweitert)
#include "tst_erweitert.moc"
