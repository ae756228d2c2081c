// SPDX-License-Identifier: GPL-2.0-or-later
#include "Erweitert.h"

#include "Zahlformat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

template <typename Wort> ErweitertAus<Wort> ErweitertAus<Wort>::ausLongDouble(long double wert)
{
    if (std::isinf(wert))
        return unendlich();
    if (wert == 0)
        return {};
    int exponent2;
    const long double bruch = std::frexp(wert, &exponent2); // in [0.5, 1)
    // The significand as an integer in [2^63, 2^64], rounded in the current mode (to nearest).
    const long double ganz = std::nearbyint(std::ldexp(bruch, 64));
    if (ganz >= std::ldexp(1.0L, 64)) {
        ++exponent2;
        return ausBits(std::uint16_t(exponent2 - 1 + BIAS), FUEHRENDES_BIT);
    }
    const int exponent = exponent2 - 1 + BIAS;
    if (exponent >= EXPONENT_UNENDLICH)
        return unendlich();
    return ausBits(std::uint16_t(exponent), static_cast<std::uint64_t>(ganz));
}

template <typename Wort> long double ErweitertAus<Wort>::alsLongDouble() const
{
    if (istUnendlich())
        return std::numeric_limits<long double>::infinity();
    if (m == 0)
        return 0;
    return std::ldexp(static_cast<long double>(m), int(e) - BIAS - 63);
}

#ifdef __SIZEOF_INT128__
template class ErweitertAus<Int128>;
#endif
template class ErweitertAus<Wortpaar>;

namespace {

// Seven significant digits d.dddddd and the decimal exponent, written as printf's "%1.6E".
Exponentialtext Schreiben(std::uint32_t ziffern, int exponent)
{
    Exponentialtext ergebnis {};
    std::snprintf(ergebnis.text, sizeof ergebnis.text, "%u.%06uE%c%02d", ziffern / 1'000'000,
        ziffern % 1'000'000, exponent < 0 ? '-' : '+', std::abs(exponent));
    return ergebnis;
}

// Unsigned integers of any size, 32 bits a digit, least significant first; no leading zeros.
using Gross = std::vector<std::uint32_t>;

void Normalisieren(Gross &a)
{
    while (!a.empty() && a.back() == 0)
        a.pop_back();
}

void MalKlein(Gross &a, std::uint32_t faktor)
{
    std::uint64_t uebertrag = 0;
    for (std::uint32_t &ziffer : a) {
        uebertrag += std::uint64_t { ziffer } * faktor;
        ziffer = std::uint32_t(uebertrag);
        uebertrag >>= 32;
    }
    if (uebertrag != 0)
        a.push_back(std::uint32_t(uebertrag));
    Normalisieren(a);
}

void Linksschieben(Gross &a, int bits)
{
    if (a.empty() || bits == 0)
        return;
    a.insert(a.begin(), std::size_t(bits / 32), 0);
    if (const int rest = bits % 32; rest != 0) {
        std::uint32_t uebertrag = 0;
        for (std::uint32_t &ziffer : a) {
            const std::uint32_t neu = (ziffer << rest) | uebertrag;
            uebertrag = ziffer >> (32 - rest);
            ziffer = neu;
        }
        if (uebertrag != 0)
            a.push_back(uebertrag);
    }
}

int Vergleich(const Gross &a, const Gross &b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (std::size_t i = a.size(); i-- > 0;) {
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    }
    return 0;
}

// a -= b; b <= a.
void Minus(Gross &a, const Gross &b)
{
    std::int64_t borgen = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        std::int64_t d
            = std::int64_t { a[i] } - borgen - (i < b.size() ? std::int64_t { b[i] } : 0);
        borgen = d < 0;
        a[i] = std::uint32_t(d + (borgen << 32));
    }
    Normalisieren(a);
}

int Bitlaenge(const Gross &a)
{
    return a.empty() ? 0 : int(32 * a.size()) - std::countl_zero(a.back());
}

// The 64 leading bits of a (a's bit length at least 64).
std::uint64_t Spitze(const Gross &a)
{
    const int laenge = Bitlaenge(a);
    std::uint64_t spitze = 0;
    for (int bit = laenge - 1; bit >= laenge - 64; --bit)
        spitze = (spitze << 1) | ((a[std::size_t(bit / 32)] >> (bit % 32)) & 1);
    return spitze;
}

Gross Mal(const Gross &a, const Gross &b)
{
    Gross produkt(a.size() + b.size(), 0);
    for (std::size_t i = 0; i < a.size(); ++i) {
        std::uint64_t uebertrag = 0;
        for (std::size_t j = 0; j < b.size(); ++j) {
            uebertrag += std::uint64_t { a[i] } * b[j] + produkt[i + j];
            produkt[i + j] = std::uint32_t(uebertrag);
            uebertrag >>= 32;
        }
        produkt[i + b.size()] = std::uint32_t(uebertrag);
    }
    Normalisieren(produkt);
    return produkt;
}

Gross Fuenferpotenz(int n)
{
    Gross p { 1 };
    for (; n >= 13; n -= 13)
        MalKlein(p, 1'220'703'125); // 5^13
    std::uint32_t rest = 1;
    while (n-- > 0)
        rest *= 5;
    MalKlein(p, rest);
    return p;
}

} // namespace

Exponentialtext ExponentTextEigen(Erweitert wert)
{
    if (wert.istUnendlich())
        return { "INF" };
    if (wert.signifikand() == 0)
        return Schreiben(0, 0);
    // wert = m 2^e2, and we look for k with 10^6 <= wert 10^(6-k) < 10^7: then the seven digits
    // are the quotient N / D of wert 10^(6-k) as a fraction of two integers.
    const int e2 = int(wert.exponent()) - Erweitert::BIAS - 63;
    int k = int(std::floor(std::log10(double(wert.signifikand())) + e2 * 0.30102999566398120));
    for (;;) {
        const int t = 6 - k;
        int zweiN = std::max(e2, 0) + std::max(t, 0);
        int zweiD = std::max(-e2, 0) + std::max(-t, 0);
        const int gemeinsam = std::min(zweiN, zweiD);
        zweiN -= gemeinsam;
        zweiD -= gemeinsam;
        Gross n { std::uint32_t(wert.signifikand()), std::uint32_t(wert.signifikand() >> 32) };
        Normalisieren(n);
        if (t > 0)
            n = Mal(n, Fuenferpotenz(t));
        Linksschieben(n, zweiN);
        Gross d = t < 0 ? Fuenferpotenz(-t) : Gross { 1 };
        Linksschieben(d, zweiD);

        // The quotient is below 10^8 < 2^27. The leading 64 bits of both, as doubles, give it to
        // within far less than one: one less is a start from below for the exact division.
        // (A quotient of 2^32 or more would need a k further off than its estimate ever is.)
        const int ueberhang = Bitlaenge(n) - Bitlaenge(d);
        std::uint64_t q = 0;
        if (ueberhang >= 0) {
            Gross nn = n, dd = d;
            Linksschieben(nn, std::max(0, 64 - Bitlaenge(nn)));
            Linksschieben(dd, std::max(0, 64 - Bitlaenge(dd)));
            const double quotient
                = std::ldexp(double(Spitze(nn)) / double(Spitze(dd)), std::min(ueberhang, 32));
            q = std::uint64_t(quotient);
            q = q > 0 ? q - 1 : 0;
        }
        Gross vielfaches = d;
        MalKlein(vielfaches, std::uint32_t(q));
        Gross r = n;
        Minus(r, vielfaches);
        while (Vergleich(r, d) >= 0) {
            Minus(r, d);
            ++q;
        }
        if (q >= 10'000'000) {
            ++k;
            continue;
        }
        if (q < 1'000'000) {
            --k;
            continue;
        }
        Linksschieben(r, 1);
        const int halb = Vergleich(r, d);
        if (halb > 0 || (halb == 0 && (q & 1)))
            ++q;
        if (q == 10'000'000) {
            q = 1'000'000;
            ++k;
        }
        return Schreiben(std::uint32_t(q), k);
    }
}

Exponentialtext ExponentTextBibliothek(Erweitert wert)
{
    Exponentialtext ergebnis {};
    FormatiereC(ergebnis.text, sizeof ergebnis.text, "%1.6LE", wert.alsLongDouble());
    return ergebnis;
}

Exponentialtext ExponentText(Erweitert wert)
{
    if constexpr (LONG_DOUBLE_HAELT_ERWEITERT)
        return ExponentTextBibliothek(wert);
    else
        return ExponentTextEigen(wert);
}
