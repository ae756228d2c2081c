// SPDX-License-Identifier: GPL-2.0-or-later
#include "Zahlformat.h"

#include <cstdio>
#include <locale.h>

int FormatiereC(char *puffer, std::size_t groesse, const char *format, va_list argumente)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t {});
    const locale_t vorher = uselocale(cLocale);
    const int laenge = std::vsnprintf(puffer, groesse, format, argumente);
    uselocale(vorher);
    return laenge;
}

int FormatiereC(char *puffer, std::size_t groesse, const char *format, ...)
{
    va_list argumente;
    va_start(argumente, format);
    const int laenge = FormatiereC(puffer, groesse, format, argumente);
    va_end(argumente);
    return laenge;
}
