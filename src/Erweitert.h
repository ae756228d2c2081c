// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <bit>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <utility>

// Exact products of two 64-bit significands, and sums with room for the carry, in 128-bit words.
// The compiler's own type where it has one (GCC and Clang on 64-bit processors); Wortpaar, two
// 64-bit words, everywhere: GCC has no 128-bit integer on any 32-bit processor.
#ifdef __SIZEOF_INT128__
__extension__ typedef unsigned __int128 Int128;
constexpr std::uint64_t Hoch(Int128 w)
{
    return std::uint64_t(w >> 64);
}
constexpr std::uint64_t Tief(Int128 w)
{
    return std::uint64_t(w);
}
#endif

// Only what the extended arithmetic needs of a 128-bit word.
class Wortpaar
{
public:
    constexpr Wortpaar() = default;
    constexpr explicit Wortpaar(std::uint64_t wort)
        : tief(wort)
    {
    }

    friend constexpr std::uint64_t Hoch(Wortpaar w) { return w.hoch; }
    friend constexpr std::uint64_t Tief(Wortpaar w) { return w.tief; }

    friend constexpr Wortpaar operator+(Wortpaar a, Wortpaar b)
    {
        const std::uint64_t tief = a.tief + b.tief;
        return { a.hoch + b.hoch + (tief < a.tief), tief };
    }
    /* 0 <= n < 128 */
    friend constexpr Wortpaar operator<<(Wortpaar a, int n)
    {
        if (n >= 64)
            return { a.tief << (n - 64), 0 };
        if (n == 0)
            return a;
        return { (a.hoch << n) | (a.tief >> (64 - n)), a.tief << n };
    }
    /* 0 <= n < 128 */
    friend constexpr Wortpaar operator>>(Wortpaar a, int n)
    {
        if (n >= 64)
            return { 0, a.hoch >> (n - 64) };
        if (n == 0)
            return a;
        return { a.hoch >> n, (a.tief >> n) | (a.hoch << (64 - n)) };
    }
    friend constexpr Wortpaar operator|(Wortpaar a, std::uint64_t b)
    {
        return { a.hoch, a.tief | b };
    }

    // a b from four products of 32-bit halves, as the school method multiplies two-digit numbers.
    static constexpr Wortpaar Produkt(std::uint64_t a, std::uint64_t b)
    {
        const std::uint64_t a0 = std::uint32_t(a), a1 = a >> 32;
        const std::uint64_t b0 = std::uint32_t(b), b1 = b >> 32;
        const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
        const std::uint64_t mitte = (p00 >> 32) + std::uint32_t(p01) + std::uint32_t(p10);
        return { p11 + (p01 >> 32) + (p10 >> 32) + (mitte >> 32),
            (mitte << 32) | std::uint32_t(p00) };
    }

private:
    constexpr Wortpaar(std::uint64_t hoch_, std::uint64_t tief_)
        : hoch(hoch_)
        , tief(tief_)
    {
    }

    std::uint64_t hoch = 0;
    std::uint64_t tief = 0;
};

template <typename Wort> constexpr Wort Produkt(std::uint64_t a, std::uint64_t b)
{
    if constexpr (std::is_same_v<Wort, Wortpaar>)
        return Wortpaar::Produkt(a, b);
    else
        return static_cast<Wort>(a) * b;
}

// A non-negative number in the x87 double-extended format (64-bit significand with explicit
// leading bit, 15-bit exponent), computed exactly as the x87 unit computes with 64-bit precision:
// every product and every sum rounded once, to nearest with ties to even, overflow to +infinity.
// The capital is booked in it, so that its figures are the same on every processor, whatever
// long double is there (x87, binary128 or double).
//
// Preconditions of the arithmetic: operands are zero, normal or +infinity, never infinity times
// zero, and no result falls below the normal range (the capital is 0 or at least 2.5).
//
// Wort: the 128-bit word of the products and sums, Int128 or Wortpaar; both give the same bits.
template <typename Wort> class ErweitertAus
{
public:
    static constexpr int BIAS = 16383;
    static constexpr std::uint16_t EXPONENT_UNENDLICH = 0x7FFF;
    static constexpr std::uint64_t FUEHRENDES_BIT = std::uint64_t { 1 } << 63;

    constexpr ErweitertAus() = default; // zero

    // Exact: every double is an extended value. 0 <= wert.
    constexpr explicit ErweitertAus(double wert)
    {
        const std::uint64_t bits = std::bit_cast<std::uint64_t>(wert);
        const int exponentDouble = int(bits >> 52) & 0x7FF;
        const std::uint64_t bruch = bits & ((std::uint64_t { 1 } << 52) - 1);
        if (exponentDouble == 0x7FF) {
            *this = unendlich();
        } else if (exponentDouble != 0) {
            e = std::uint16_t(exponentDouble - 1023 + BIAS);
            m = FUEHRENDES_BIT | (bruch << 11);
        } else if (bruch != 0) { // subnormal double: normal in the wider range
            const int schieben = std::countl_zero(bruch);
            m = bruch << schieben;
            e = std::uint16_t(BIAS - 1022 - (schieben - 11));
        }
    }

    // The value with the given biased exponent and significand, as the x87 format stores them.
    static constexpr ErweitertAus ausBits(std::uint16_t exponent, std::uint64_t signifikand)
    {
        ErweitertAus x;
        x.e = exponent;
        x.m = signifikand;
        return x;
    }
    static constexpr ErweitertAus unendlich()
    {
        return ausBits(EXPONENT_UNENDLICH, FUEHRENDES_BIT);
    }
    static constexpr ErweitertAus groesstes()
    {
        return ausBits(EXPONENT_UNENDLICH - 1, ~std::uint64_t {});
    }

    // The nearest extended value, ties to even: exact for every value of an x87 long double.
    static ErweitertAus ausLongDouble(long double wert);
    // Exact where long double holds every extended value (LONG_DOUBLE_HAELT_ERWEITERT).
    long double alsLongDouble() const;

    constexpr std::uint16_t exponent() const { return e; }
    constexpr std::uint64_t signifikand() const { return m; }
    constexpr bool istUnendlich() const { return e == EXPONENT_UNENDLICH; }
    constexpr bool operator==(const ErweitertAus &) const = default;

    friend constexpr ErweitertAus operator*(ErweitertAus a, ErweitertAus b)
    {
        if (a.istUnendlich() || b.istUnendlich())
            return unendlich();
        if (a.m == 0 || b.m == 0)
            return {};
        // The product of two significands in [2^63, 2^64) lies in [2^126, 2^128).
        return gerundet(Produkt<Wort>(a.m, b.m), int(a.e) + int(b.e) - BIAS);
    }

    friend constexpr ErweitertAus operator+(ErweitertAus a, ErweitertAus b)
    {
        if (a.istUnendlich() || b.istUnendlich())
            return unendlich();
        if (b.m == 0)
            return a;
        if (a.m == 0)
            return b;
        if (a.e < b.e)
            std::swap(a, b);
        const int abstand = a.e - b.e;
        // Then b is below half a unit in the last place of a.
        if (abstand > 64)
            return a;
        // Both significands at bit 126, the smaller shifted to its place. Only at a distance of
        // 64 does a bit fall off; it stays as a sticky bit far below the rounding point.
        Wort klein = (Wort(b.m) << 63) >> abstand;
        if (abstand == 64)
            klein = klein | (b.m & 1);
        return gerundet((Wort(a.m) << 63) + klein, a.e);
    }

private:
    // `wert` in [2^126, 2^128) rounded to 64 bits, to nearest with ties to even; `exponent` is
    // the biased exponent of bit 126.
    static constexpr ErweitertAus gerundet(Wort wert, int exponent)
    {
        std::uint64_t signifikand = Hoch(wert);
        std::uint64_t rest = Tief(wert);
        if (signifikand & FUEHRENDES_BIT) {
            ++exponent;
        } else {
            signifikand = (signifikand << 1) | (rest >> 63);
            rest <<= 1;
        }
        // Without a branch: which way a rounding goes is a coin toss for the processor.
        const bool aufrunden
            = (rest > FUEHRENDES_BIT) | ((rest == FUEHRENDES_BIT) & bool(signifikand & 1));
        signifikand += aufrunden;
        if (signifikand == 0) { // rounded up to the next power of two
            signifikand = FUEHRENDES_BIT;
            ++exponent;
        }
        if (exponent >= EXPONENT_UNENDLICH)
            return unendlich();
        return ausBits(std::uint16_t(exponent), signifikand);
    }

    std::uint16_t e = 0; // biased exponent; 0 with a zero significand is zero
    std::uint64_t m = 0; // significand, leading bit explicit
};

#ifdef __SIZEOF_INT128__
using Wort128 = Int128;
#else
using Wort128 = Wortpaar;
#endif
using Erweitert = ErweitertAus<Wort128>;

// Whether the platform's long double holds every extended value exactly (x87, binary128).
inline constexpr bool LONG_DOUBLE_HAELT_ERWEITERT = std::numeric_limits<long double>::digits >= 64
    && std::numeric_limits<long double>::max_exponent >= 16384
    && std::numeric_limits<long double>::min_exponent <= -16381;

// A number as printf's "%1.6LE" writes it in the C locale: "1.234567E+05", "INF".
struct Exponentialtext
{
    char text[24];
};

// With the C library where long double holds the value, with our own conversion elsewhere.
Exponentialtext ExponentText(Erweitert wert);
// The C library's "%1.6LE" of the value as a long double. Exact only where
// LONG_DOUBLE_HAELT_ERWEITERT.
Exponentialtext ExponentTextBibliothek(Erweitert wert);
// Our own exact conversion: seven significant digits, ties to even.
Exponentialtext ExponentTextEigen(Erweitert wert);
