# SPDX-License-Identifier: GPL-2.0-or-later
# The developer in the metainfo as the system's AppStream reads it: before 1.0 (Debian 12) in
# <developer_name>, since then in <developer> with an id. Each generation's validator flags the
# other's form. appstreamcli says its version in the builder's language ("AppStream version:
# 0.16.1", "Version d’AppStream : 0.16.1"), so it is asked in the C locale and only the number is
# read: the package is the same whatever locale it was built under.
#   include(appstream)                              sets ENTWICKLER and APPSTREAM_VERSION
#   cmake -DAPPSTREAMCLI=<path> -P appstream.cmake  prints the version and the form
if(NOT APPSTREAMCLI)
    find_program(APPSTREAMCLI appstreamcli)
endif()
set(ENTWICKLER "<developer id=\"org.example\">\n    <name>Lotto Simmulator</name>\n  </developer>")
set(APPSTREAM_VERSION "")
if(APPSTREAMCLI)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LANGUAGE LC_ALL=C
                            ${APPSTREAMCLI} --version
                    OUTPUT_VARIABLE ausgabe)
    if(ausgabe MATCHES "([0-9]+)\\.([0-9]+)(\\.[0-9]+)?")
        set(APPSTREAM_VERSION "${CMAKE_MATCH_0}")
        if(CMAKE_MATCH_1 EQUAL 0)
            set(ENTWICKLER "<developer_name>Lotto Simmulator</developer_name>")
        endif()
    else()
        message(WARNING "appstreamcli --version said no version: ${ausgabe}")
    endif()
endif()
if(CMAKE_SCRIPT_MODE_FILE)
    message("AppStream ${APPSTREAM_VERSION}: ${ENTWICKLER}")
endif()
