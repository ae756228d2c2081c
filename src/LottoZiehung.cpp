// SPDX-License-Identifier: GPL-2.0-or-later
#include "LottoZiehung.h"

#include <ctime>

Zufallsgenerator Zufall;

bool Zahl_im_Index[50];
signed char GezogeneZahl[8];

void Zufallsgenerator::saeen(std::uint32_t startwert)
{
    // Park-Miller "minimal standard" sequence, computed as glibc does (Schrage's method on
    // signed 32-bit words, so seeds from 2^31 on behave as there too).
    if (startwert == 0)
        startwert = 1;
    auto wort = static_cast<std::int32_t>(startwert);
    zustand[0] = startwert;
    for (int i = 1; i < GRAD; ++i) {
        const long hoch = wort / 127773;
        const long tief = wort % 127773;
        wort = static_cast<std::int32_t>(16807 * tief - 2836 * hoch);
        if (wort < 0)
            wort += 2147483647;
        zustand[i] = static_cast<std::uint32_t>(wort);
    }
    vorn = ABSTAND;
    hinten = 0;
    for (int i = 0; i < 10 * GRAD; ++i)
        (*this)();
}

void StartWertZufall()
{
    Zufall.saeen(static_cast<std::uint32_t>(std::time(nullptr) + 314159));
}

void Ziehung()
{
    ZiehungAus(Zufall);
}
