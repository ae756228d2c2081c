// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QPoint>
#include <QRect>

// Geometry of the painted ticket (the simulation includes it for the field centres; it includes
// nothing of the simulation): ten blocks of 7 x 7 fields in two rows of five, 20 px fields,
// 10 px between blocks. Painting and hit testing both go through Feldquadrat/FeldGetroffen.

// Centre of each field on the window, [block][number]; set by the reset from Feldmitte.
extern int FeldXk[11][50];
extern int FeldYk[11][50];

namespace Spielschein {

inline constexpr int FELD = 20; // field pitch and side of its square
inline constexpr int SPALTEN = 7;
inline constexpr int BLOCK_SCHRITT_X = 150; // a block is 140 px wide
inline constexpr int BLOECKE_PRO_REIHE = 5;
inline constexpr int RAND_X = 10; // centre of column c is RAND_X + block offset + 20 c
inline constexpr int RAND_Y_OBEN = 10; // same for rows of blocks 1..5
inline constexpr int RAND_Y_UNTEN = 160; // and of blocks 6..10
inline constexpr int TREFFER = 9; // a press hits when it lies strictly within 9 px of a centre

/* 1 <= block <= 10; 1 <= zahl <= 49 */
constexpr QPoint Feldmitte(int block, int zahl)
{
    const int spalte = (zahl - 1) % SPALTEN + 1;
    const int zeile = (zahl - 1) / SPALTEN + 1;
    const int x = RAND_X + BLOCK_SCHRITT_X * ((block - 1) % BLOECKE_PRO_REIHE) + FELD * spalte;
    const int y = (block <= BLOECKE_PRO_REIHE ? RAND_Y_OBEN : RAND_Y_UNTEN) + FELD * zeile;
    return { x, y };
}

// The 20 x 20 pixels of a field, centred on FeldXk/FeldYk (the centre is the pixel right and below
// the middle, so the square runs from 10 px left/above to 9 px right/below).
inline QRect Feldquadrat(int block, int zahl)
{
    return { FeldXk[block][zahl] - FELD / 2, FeldYk[block][zahl] - FELD / 2, FELD, FELD };
}

// Scaled, a field's 1 px outline is wider than one device pixel and reaches up to one device pixel
// into its neighbours' squares (at scale 2, the outline's right half lies in the next square).
inline constexpr int UMRISS_UEBERSTAND = 1;

// What painting a field may touch. A repaint of any area paints every field whose Feldflaeche meets
// it, so that the neighbours' outlines reaching into the area come back too.
inline QRect Feldflaeche(int block, int zahl)
{
    return Feldquadrat(block, zahl)
        .adjusted(-UMRISS_UEBERSTAND, -UMRISS_UEBERSTAND, UMRISS_UEBERSTAND, UMRISS_UEBERSTAND);
}

// The open 17 x 17 square around the centre: nothing between fields or blocks is hit.
inline bool FeldGetroffen(QPoint p, int block, int zahl)
{
    const int x = FeldXk[block][zahl];
    const int y = FeldYk[block][zahl];
    return x - TREFFER < p.x() && p.x() < x + TREFFER && y - TREFFER < p.y() && p.y() < y + TREFFER;
}

// The area the ten blocks cover, and what painting them may touch.
inline constexpr QRect BEREICH { 20, 20, 740, 290 };
inline constexpr QRect BEMALT = BEREICH.adjusted(
    -UMRISS_UEBERSTAND, -UMRISS_UEBERSTAND, UMRISS_UEBERSTAND, UMRISS_UEBERSTAND);

} // namespace Spielschein
