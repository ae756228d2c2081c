// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <bit>
#include <cstdint>
#include <limits>
#include <utility>

// Exact products of two 64-bit significands, and sums with room for the carry (GCC and Clang).
__extension__ typedef unsigned __int128 Wort128;

// A non-negative number in the x87 double-extended format (64-bit significand with explicit
// leading bit, 15-bit exponent), computed exactly as the x87 unit computes with 64-bit precision:
// every product and every sum rounded once, to nearest with ties to even, overflow to +infinity.
// The capital is booked in it, so that its figures are the same on every processor, whatever
// long double is there (x87, binary128 or double).
//
// Preconditions of the arithmetic: operands are zero, normal or +infinity, never infinity times
// zero, and no result falls below the normal range (the capital is 0 or at least 2.5).
class Erweitert
{
public:
    static constexpr int BIAS = 16383;
    static constexpr std::uint16_t EXPONENT_UNENDLICH = 0x7FFF;
    static constexpr std::uint64_t FUEHRENDES_BIT = std::uint64_t { 1 } << 63;

    constexpr Erweitert() = default; // zero

    // Exact: every double is an extended value. 0 <= wert.
    constexpr explicit Erweitert(double wert)
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
    static constexpr Erweitert ausBits(std::uint16_t exponent, std::uint64_t signifikand)
    {
        Erweitert x;
        x.e = exponent;
        x.m = signifikand;
        return x;
    }
    static constexpr Erweitert unendlich() { return ausBits(EXPONENT_UNENDLICH, FUEHRENDES_BIT); }
    static constexpr Erweitert groesstes()
    {
        return ausBits(EXPONENT_UNENDLICH - 1, ~std::uint64_t {});
    }

    // The nearest extended value, ties to even: exact for every value of an x87 long double.
    static Erweitert ausLongDouble(long double wert);
    // Exact where long double holds every extended value (LONG_DOUBLE_HAELT_ERWEITERT).
    long double alsLongDouble() const;

    constexpr std::uint16_t exponent() const { return e; }
    constexpr std::uint64_t signifikand() const { return m; }
    constexpr bool istUnendlich() const { return e == EXPONENT_UNENDLICH; }
    constexpr bool operator==(const Erweitert &) const = default;

    friend constexpr Erweitert operator*(Erweitert a, Erweitert b)
    {
        if (a.istUnendlich() || b.istUnendlich())
            return unendlich();
        if (a.m == 0 || b.m == 0)
            return {};
        // The product of two significands in [2^63, 2^64) lies in [2^126, 2^128).
        return gerundet(static_cast<Wort128>(a.m) * b.m, int(a.e) + int(b.e) - BIAS);
    }

    friend constexpr Erweitert operator+(Erweitert a, Erweitert b)
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
        Wort128 klein = (static_cast<Wort128>(b.m) << 63) >> abstand;
        if (abstand == 64)
            klein |= b.m & 1;
        return gerundet((static_cast<Wort128>(a.m) << 63) + klein, a.e);
    }

private:
    // `wert` in [2^126, 2^128) rounded to 64 bits, to nearest with ties to even; `exponent` is
    // the biased exponent of bit 126.
    static constexpr Erweitert gerundet(Wort128 wert, int exponent)
    {
        std::uint64_t signifikand = std::uint64_t(wert >> 64);
        std::uint64_t rest = std::uint64_t(wert);
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
