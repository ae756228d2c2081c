# SPDX-License-Identifier: GPL-2.0-or-later
cmake_policy(SET CMP0057 NEW)
# Installs the build into a fresh DESTDIR under two prefixes and checks that every file is where
# desktops look for it.
#   cmake -DBUILD=<build dir> -DAPP_ID=<id> -DZIEL=<scratch dir> -P installation.cmake
foreach(prefix /usr /opt/lotto)
    file(REMOVE_RECURSE "${ZIEL}")
    execute_process(
        COMMAND "${CMAKE_COMMAND}" -E env "DESTDIR=${ZIEL}"
                "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${prefix}"
        RESULT_VARIABLE ergebnis OUTPUT_QUIET)
    if(NOT ergebnis EQUAL 0)
        message(FATAL_ERROR "cmake --install failed for prefix ${prefix}")
    endif()
    set(wurzel "${ZIEL}${prefix}")
    foreach(datei
            bin/lotto-simulator
            share/applications/${APP_ID}.desktop
            share/metainfo/${APP_ID}.metainfo.xml
            share/icons/hicolor/scalable/apps/${APP_ID}.svg
            share/man/man1/lotto-simulator.1)
        if(NOT EXISTS "${wurzel}/${datei}")
            message(FATAL_ERROR "missing after install with prefix ${prefix}: ${datei}")
        endif()
    endforeach()
    file(GLOB_RECURSE alle RELATIVE "${wurzel}" "${wurzel}/*")
    list(LENGTH alle anzahl)
    if(NOT anzahl EQUAL 5)
        message(FATAL_ERROR "expected 5 files under ${prefix}, found: ${alle}")
    endif()
    # The launcher starts the installed program and names the installed icon.
    file(STRINGS "${wurzel}/share/applications/${APP_ID}.desktop" starter)
    if(NOT "Exec=lotto-simulator" IN_LIST starter OR NOT "Icon=${APP_ID}" IN_LIST starter)
        message(FATAL_ERROR "the launcher does not name the program and its icon")
    endif()
    file(READ "${wurzel}/bin/lotto-simulator" anfang LIMIT 4 HEX)
    if(NOT anfang STREQUAL "7f454c46")
        message(FATAL_ERROR "bin/lotto-simulator is not a program")
    endif()
endforeach()
file(REMOVE_RECURSE "${ZIEL}")
message(STATUS "install checked under /usr and /opt/lotto")
