// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>

// The generator behind GNU libc's random(): x[i] = x[i-3] + x[i-31] (mod 2^32), seeded by
// srandom()'s Park-Miller sequence and run 310 steps before the first value; each value is
// x[i] >> 1, from 0 to 2^31 - 1. Our own copy takes no lock per call and gives the same draws on
// every platform. It is plain data: copying it forks the sequence.
class Zufallsgenerator
{
public:
    explicit Zufallsgenerator(std::uint32_t startwert = 1) { saeen(startwert); }

    // Same state as srandom(startwert).
    void saeen(std::uint32_t startwert);

    // Same value as the next random().
    std::uint32_t operator()()
    {
        const std::uint32_t wert = zustand[vorn] += zustand[hinten];
        vorn = vorn == GRAD - 1 ? 0 : vorn + 1;
        hinten = hinten == GRAD - 1 ? 0 : hinten + 1;
        return wert >> 1;
    }

private:
    static constexpr int GRAD = 31;
    static constexpr int ABSTAND = 3;

    std::uint32_t zustand[GRAD] = {};
    int vorn = ABSTAND;
    int hinten = 0;
};

// The one generator of the program: draws and quick picks share its sequence.
extern Zufallsgenerator Zufall;

// The last draw. Zahl_im_Index flags the six numbers (not the bonus number); GezogeneZahl holds
// them in ascending order in entries 1..6 and the bonus number in entry 7. Entry 0 is never used.
extern bool Zahl_im_Index[50];
extern signed char GezogeneZahl[8];

// Seeds the generator once per run: calendar time in whole seconds + 314159.
void StartWertZufall();

// A lottery number from one generator value: 1..49 (1..44 are very slightly more likely).
inline int Zufallszahl(std::uint32_t wert)
{
    return static_cast<int>(wert % 49) + 1;
}

// One draw from any source of random() values, in this order: the first number, the retries of
// each further number, then the bonus number's; so a given sequence always gives the same draw.
template <class Quelle> void ZiehungAus(Quelle &quelle)
{
    for (bool &flag : Zahl_im_Index)
        flag = false;

    Zahl_im_Index[Zufallszahl(quelle())] = true;
    for (int n = 2; n <= 6; ++n) {
        int zahl;
        do
            zahl = Zufallszahl(quelle());
        while (Zahl_im_Index[zahl]);
        Zahl_im_Index[zahl] = true;
    }

    int zusatzzahl;
    do
        zusatzzahl = Zufallszahl(quelle());
    while (Zahl_im_Index[zusatzzahl]);
    GezogeneZahl[7] = static_cast<signed char>(zusatzzahl);

    int gefunden = 0;
    for (int zahl = 1; zahl <= 49 && gefunden < 6; ++zahl) {
        if (Zahl_im_Index[zahl])
            GezogeneZahl[++gefunden] = static_cast<signed char>(zahl);
    }
}

// One draw from the program's generator.
void Ziehung();
