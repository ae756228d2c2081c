// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdarg>
#include <cstddef>

// std::snprintf and std::vsnprintf as they format in the "C" locale: figures keep their decimal
// point whatever the user's locale. QApplication sets the process locale from the environment,
// and under de_DE the C library itself would write "35,00". Only the calling thread's locale is
// switched, and only for the call.
[[gnu::format(printf, 3, 4)]] int FormatiereC(
    char *puffer, std::size_t groesse, const char *format, ...);
[[gnu::format(printf, 3, 0)]] int FormatiereC(
    char *puffer, std::size_t groesse, const char *format, va_list argumente);
