# SPDX-License-Identifier: GPL-2.0-or-later
# i386, 32-bit x86: x87 arithmetic (FLT_EVAL_METHOD 2), long double is the x87 format, no 128-bit integer.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TRIPEL i686-linux-gnu)
set(MULTIARCH i386-linux-gnu)
set(EMULATOR qemu-i386-static)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
