# SPDX-License-Identifier: GPL-2.0-or-later
# s390x: big-endian.
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(TRIPEL s390x-linux-gnu)
set(EMULATOR qemu-s390x-static)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
