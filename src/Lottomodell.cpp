// SPDX-License-Identifier: GPL-2.0-or-later
#include "Lottomodell.h"

#include "Spielschein.h"

bool Kreuz[11][50];
int ZaehlerKreuze[11];
int AnzahlTipBloecke;
int FeldXk[11][50];
int FeldYk[11][50];

double Spielkosten;
double Kosten;
Erweitert Zinseszins;
std::uint64_t ZiehungNr;
double Jahre;

bool Start;
int ZyklusZeit = 1;

void SpielZuruecksetzen(Gewinne &gewinne)
{
    gewinne = {};
    ZiehungNr = 0;
    Jahre = 0.0;
    Start = false;
    Spielkosten = 0.0;
    AnzahlTipBloecke = 0;
    Kosten = 0.0;
    Zinseszins = {};
    for (int block = 1; block <= BLOECKE; ++block) {
        ZaehlerKreuze[block] = 0;
        for (int zahl = 1; zahl <= ZAHLEN; ++zahl) {
            Kreuz[block][zahl] = false;
            const QPoint mitte = Spielschein::Feldmitte(block, zahl);
            FeldXk[block][zahl] = mitte.x();
            FeldYk[block][zahl] = mitte.y();
        }
    }
}

void Einsatzformel()
{
    AnzahlTipBloecke = 0;
    for (int block = 1; block <= BLOECKE; ++block) {
        if (ZaehlerKreuze[block] > 0)
            ++AnzahlTipBloecke;
    }
    Spielkosten = static_cast<double>(
        AnzahlTipBloecke * static_cast<long double>(KOSTEN_PRO_BLOCK) + GEBUEHREN);
}

bool TippsVergleichen(Gewinne &gewinne)
{
    bool sechs = false;
    for (int block = 1; block <= BLOECKE; ++block) {
        int AnzahlRichtige = 0;
        bool fuenfPlus = false;
        for (int zahl = 1; zahl <= ZAHLEN; ++zahl) {
            if (Kreuz[block][zahl] && Zahl_im_Index[zahl])
                ++AnzahlRichtige;
            else if (Kreuz[block][zahl] && zahl == GezogeneZahl[7])
                fuenfPlus = true;
        }
        if (AnzahlRichtige == 3) {
            ++gewinne.dreiRichtige;
        } else if (AnzahlRichtige == 4) {
            ++gewinne.vierRichtige;
        } else if (AnzahlRichtige == 5) {
            if (fuenfPlus)
                ++gewinne.fuenfRichtigePlus;
            else
                ++gewinne.fuenfRichtige;
        } else if (AnzahlRichtige == 6) {
            ++gewinne.sechsRichtige;
            sechs = true;
        }
    }
    return sechs;
}

void TippsAuslosen()
{
    for (int block = 1; block <= BLOECKE; ++block) {
        Ziehung();
        for (int n = 1; n <= 6; ++n) {
            Kreuz[block][GezogeneZahl[n]] = true;
            ++ZaehlerKreuze[block];
        }
    }
    Einsatzformel();
}

void Tippmatrix::ausKreuzen()
{
    for (int zahl = 0; zahl <= ZAHLEN; ++zahl) {
        std::uint64_t wort = 0;
        for (int block = 1; block <= BLOECKE && zahl > 0; ++block) {
            if (Kreuz[block][zahl])
                wort |= std::uint64_t { 1 } << (4 * (block - 1));
        }
        proZahl[zahl] = wort;
    }
}

void Schnellziehung::uebernehmen() const
{
    int gefunden = 0;
    for (int zahl = 1; zahl <= ZAHLEN; ++zahl) {
        Zahl_im_Index[zahl] = (maske >> zahl) & 1;
        if (Zahl_im_Index[zahl])
            GezogeneZahl[++gefunden] = static_cast<signed char>(zahl);
    }
    GezogeneZahl[7] = static_cast<signed char>(zusatzzahl);
}

bool Ziehungsstapel(Gewinne &gewinne, bool stopBeiSechs)
{
    Tippmatrix tipps;
    tipps.ausKreuzen();

    // Locals, so that the loop keeps everything in registers.
    Zufallsgenerator zufall = Zufall;
    Gewinne zaehler = gewinne;
    std::uint64_t nr = ZiehungNr;
    double kosten = Kosten;
    Erweitert kapital = Zinseszins;
    const double einsatz = Spielkosten;

    Schnellziehung ziehung;
    bool sechs;
    do {
        sechs = ziehung.ziehenUndAuswerten(zufall, tipps, zaehler);
        ++nr;
        Buchen(kosten, kapital, einsatz);
        if (stopBeiSechs && sechs)
            break;
    } while (nr % STAPEL != 0);

    Zufall = zufall;
    gewinne = zaehler;
    ZiehungNr = nr;
    Kosten = kosten;
    Zinseszins = kapital;
    ziehung.uebernehmen();
    return sechs;
}
