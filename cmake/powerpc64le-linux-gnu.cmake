# SPDX-License-Identifier: GPL-2.0-or-later
# ppc64el: long double is IBM double-double.
set(CMAKE_SYSTEM_PROCESSOR ppc64le)
set(TRIPEL powerpc64le-linux-gnu)
set(EMULATOR qemu-ppc64le-static)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
