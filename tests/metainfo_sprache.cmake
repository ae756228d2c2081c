# SPDX-License-Identifier: GPL-2.0-or-later
# The metainfo is the same whatever the builder's locale: a configure of the tree under one in
# which appstreamcli answers in French makes the same file as the build's own.
#   cmake -DQUELLE=<tree> -DBUILD=<build dir> -DAPP_ID=<id> -DZIEL=<scratch dir> -P metainfo_sprache.cmake
find_program(APPSTREAMCLI appstreamcli REQUIRED)
set(uebersetzt LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8 LANGUAGE=fr)
execute_process(COMMAND ${CMAKE_COMMAND} -E env ${uebersetzt} ${APPSTREAMCLI} --version
                OUTPUT_VARIABLE ausgabe)
if(ausgabe MATCHES "AppStream version")
    message(FATAL_ERROR "appstreamcli is not translated here (${ausgabe}): no de_DE.UTF-8 locale?")
endif()
file(REMOVE_RECURSE "${ZIEL}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env ${uebersetzt}
                        ${CMAKE_COMMAND} -S ${QUELLE} -B ${ZIEL} -DBUILD_TESTING=OFF
                RESULT_VARIABLE ergebnis OUTPUT_QUIET)
if(NOT ergebnis EQUAL 0)
    message(FATAL_ERROR "configure under a translated locale failed")
endif()
file(READ "${BUILD}/${APP_ID}.metainfo.xml" eigene)
file(READ "${ZIEL}/${APP_ID}.metainfo.xml" andere)
if(NOT eigene STREQUAL andere)
    message(FATAL_ERROR "with appstreamcli saying \"${ausgabe}\" the metainfo differs:\n${andere}")
endif()
message("the same metainfo with appstreamcli saying: ${ausgabe}")
