# SPDX-License-Identifier: GPL-2.0-or-later
# The version stated once, in the project, is the one the program, the AppStream metadata and the
# Debian changelog give; --help lists the options, Qt's own options are left to Qt, and what
# the program does not take ends it with status 1.
#   cmake -DPROGRAMM=<program> -DVERSION=<version> -DQUELLE=<source dir> -DAPP_ID=<id>
#         [-DEMULATOR=<emulator of a cross build>] -P version.cmake
function(pruefen was erwartet gefunden)
    if(NOT "${gefunden}" STREQUAL "${erwartet}")
        message(FATAL_ERROR "${was}: \"${gefunden}\", expected \"${erwartet}\"")
    endif()
endfunction()

execute_process(COMMAND ${EMULATOR} "${PROGRAMM}" --version
    OUTPUT_VARIABLE ausgabe RESULT_VARIABLE ende)
pruefen("--version" "lotto-simulator ${VERSION}\n;0" "${ausgabe};${ende}")
file(READ "${QUELLE}/desktop/${APP_ID}.metainfo.xml.in" metainfo)
string(REGEX MATCH "<release version=\"([^\"]*)\"" _ "${metainfo}")
pruefen("the newest AppStream release" "${VERSION}" "${CMAKE_MATCH_1}")
file(STRINGS "${QUELLE}/debian/changelog" kopf LIMIT_COUNT 1)
string(REGEX MATCH "^lotto-simulator \\(([^-)]*)-[^)]*\\)" _ "${kopf}")
pruefen("the upstream version in debian/changelog" "${VERSION}" "${CMAKE_MATCH_1}")

execute_process(COMMAND ${EMULATOR} "${PROGRAMM}" --help OUTPUT_VARIABLE hilfe RESULT_VARIABLE ende)
string(REGEX MATCHALL "-h, --help|-v, --version|-platform" optionen "${hilfe}")
list(REMOVE_DUPLICATES optionen)
pruefen("--help" "-platform;-h, --help;-v, --version;0" "${optionen};${ende}")

# Qt takes -platform: the only option left to complain about is the unknown one.
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=xcb
    ${EMULATOR} "${PROGRAMM}" -platform offscreen --kein-solcher-schalter
    ERROR_VARIABLE fehler RESULT_VARIABLE ende)
string(REGEX MATCH "lotto-simulator: Unknown option '[^']*'" fehler "${fehler}")
pruefen("an unknown option" "1;lotto-simulator: Unknown option 'kein-solcher-schalter'"
    "${ende};${fehler}")

# An argument the program does not take is refused, and a script or launcher is told by the status.
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
    ${EMULATOR} "${PROGRAMM}" spielschein.txt ERROR_VARIABLE fehler RESULT_VARIABLE ende)
string(REGEX MATCH "lotto-simulator: no arguments are taken: [^\n]*" fehler "${fehler}")
pruefen("an argument" "1;lotto-simulator: no arguments are taken: spielschein.txt"
    "${ende};${fehler}")
