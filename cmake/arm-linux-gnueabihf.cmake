# SPDX-License-Identifier: GPL-2.0-or-later
# armhf, 32-bit ARM with hardware floating point: g++-arm-linux-gnueabihf, qt6-base-dev:armhf,
# qemu-arm-static.
set(CMAKE_SYSTEM_PROCESSOR arm)
set(TRIPEL arm-linux-gnueabihf)
set(EMULATOR qemu-arm-static)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
