// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Erweitert.h"
#include "LottoZiehung.h"
#include "Spielschein.h"

#include <bit>
#include <cstdint>

inline constexpr int BLOECKE = 10; // tip blocks on a ticket, numbered 1..10
inline constexpr int ZAHLEN = 49; // numbers per block, 1..49
inline constexpr int MAX_KREUZE = 6; // marks a block takes

const double KOSTEN_PRO_BLOCK = 1.5; // DM per draw for each block with a mark
const double GEBUEHREN = 2.5; // DM per ticket and draw

// 1 + 0.03/52 rounded to nine decimals, as a double: a stake earns interest from the next draw.
inline constexpr double ZINSFAKTOR = 1.000576923;
template <typename Wort> inline constexpr ErweitertAus<Wort> ZINSFAKTOR_AUS { ZINSFAKTOR };
inline constexpr Erweitert ZINSFAKTOR_ERWEITERT = ZINSFAKTOR_AUS<Wort128>;

// A continuous run draws in batches up to the next multiple of this: ten years of weekly draws.
inline constexpr std::uint64_t STAPEL = 520;

// The ticket. Arrays have a spare entry 0 so that they are indexed by block and number directly.
extern bool Kreuz[11][50];
extern int ZaehlerKreuze[11]; // marks per block, always the count of true entries of Kreuz
extern int AnzahlTipBloecke; // blocks with a mark, as of the last stake formula

// Money, draws and years since the last reset.
extern double Spielkosten; // stake of one draw of the ticket, DM
extern double Kosten; // sum of the stakes booked, DM, exact
extern Erweitert Zinseszins; // what the stakes became at 3 % a year, compounded weekly
extern std::uint64_t ZiehungNr;
extern double Jahre; // ZiehungNr / 52 as of the last result display

extern bool Start; // a continuous run is active
extern int ZyklusZeit; // run timer interval in ms

// Wins since the last reset: pairs of a block and a draw, by class.
struct Gewinne
{
    std::int64_t dreiRichtige = 0;
    std::int64_t vierRichtige = 0;
    std::int64_t fuenfRichtige = 0;
    std::int64_t fuenfRichtigePlus = 0;
    std::int64_t sechsRichtige = 0;

    bool operator==(const Gewinne &) const = default;
};

// Back to the start: no marks, no draws, no money, no run, field centres computed. Leaves the last
// draw as it is.
void SpielZuruecksetzen(Gewinne &gewinne);

// AnzahlTipBloecke from ZaehlerKreuze, then Spielkosten = blocks * 1.50 + 2.50.
void Einsatzformel();

// Books one draw's stake: the costs exactly; the capital gets a week's interest on what it held,
// then the stake (two roundings in extended precision, no fused multiply-add).
template <typename Wort>
inline void Buchen(double &kosten, ErweitertAus<Wort> &kapital, double einsatz)
{
    kosten += einsatz;
    // Past the extended range the capital is infinite and stays so (inf * q + stake = inf).
    if (!kapital.istUnendlich())
        kapital = kapital * ZINSFAKTOR_AUS<Wort> + ErweitertAus<Wort>(einsatz);
}

// Books the current Spielkosten for one draw into Kosten and Zinseszins.
inline void ZiehungBuchen()
{
    Buchen(Kosten, Zinseszins, Spielkosten);
}

inline void ZiehungZaehlen()
{
    ++ZiehungNr;
}

inline void JahreBerechnen()
{
    Jahre = static_cast<double>(ZiehungNr) / 52.0;
}

// Compares every block with the last draw, one number at a time, and raises the counters.
// Returns true when a block had six correct.
bool TippsVergleichen(Gewinne &gewinne);

// Quick pick: one draw per block, its six numbers become the block's tip; then the stake.
// Expects an empty ticket.
void TippsAuslosen();

// The ticket turned around for the draw loop: per number one word with a 4-bit field for each
// block (block b in bits 4(b-1) to 4b-1), 1 where the block marks the number. Adding the words of
// the six drawn numbers counts the correct numbers of all ten blocks at once.
struct Tippmatrix
{
    std::uint64_t proZahl[50] = {};

    void ausKreuzen(); // from Kreuz
};

// Raises the counters for a draw whose words added up to `richtige`; `zusatz` is the word of the
// bonus number. Same result as TippsVergleichen.
inline bool Auswerten(std::uint64_t richtige, std::uint64_t zusatz, Gewinne &gewinne)
{
    constexpr std::uint64_t EINSEN = 0x11111'11111;
    // A field holds 0..6; it is 3 or more when its bit 2 is set, or its bits 0 and 1 both are.
    std::uint64_t abDrei = ((richtige >> 2) | (richtige & (richtige >> 1))) & EINSEN;
    bool sechs = false;
    while (abDrei != 0) {
        const int bit = std::countr_zero(abDrei);
        switch ((richtige >> bit) & 0xF) {
        case 3:
            ++gewinne.dreiRichtige;
            break;
        case 4:
            ++gewinne.vierRichtige;
            break;
        case 5:
            if ((zusatz >> bit) & 1)
                ++gewinne.fuenfRichtigePlus;
            else
                ++gewinne.fuenfRichtige;
            break;
        default:
            ++gewinne.sechsRichtige;
            sechs = true;
            break;
        }
        abDrei &= abDrei - 1;
    }
    return sechs;
}

// One draw as ZiehungAus makes it, from the same generator values, but kept as a bit mask
// (bit n: number n drawn) and the bonus number; evaluated against the ticket at once.
struct Schnellziehung
{
    std::uint64_t maske = 0;
    int zusatzzahl = 0;

    bool ziehenUndAuswerten(Zufallsgenerator &zufall, const Tippmatrix &tipps, Gewinne &gewinne)
    {
        int zahl = Zufallszahl(zufall());
        std::uint64_t gezogen = std::uint64_t { 1 } << zahl;
        std::uint64_t richtige = tipps.proZahl[zahl];
        for (int n = 2; n <= 6; ++n) {
            do
                zahl = Zufallszahl(zufall());
            while ((gezogen >> zahl) & 1);
            gezogen |= std::uint64_t { 1 } << zahl;
            richtige += tipps.proZahl[zahl];
        }
        do
            zahl = Zufallszahl(zufall());
        while ((gezogen >> zahl) & 1);
        maske = gezogen;
        zusatzzahl = zahl;
        return Auswerten(richtige, tipps.proZahl[zahl], gewinne);
    }

    // Writes the draw into Zahl_im_Index and GezogeneZahl.
    void uebernehmen() const;
};

// One batch of a continuous run: draw, count, evaluate and book until ZiehungNr is a multiple of
// STAPEL, or, with stopBeiSechs, until a draw with a six. At least one draw. Leaves the last draw
// in Zahl_im_Index and GezogeneZahl and returns whether it had a six.
bool Ziehungsstapel(Gewinne &gewinne, bool stopBeiSechs);
