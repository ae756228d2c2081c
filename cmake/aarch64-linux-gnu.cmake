# SPDX-License-Identifier: GPL-2.0-or-later
# arm64: g++-aarch64-linux-gnu, qt6-base-dev:arm64, qemu-aarch64-static.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(TRIPEL aarch64-linux-gnu)
set(EMULATOR qemu-aarch64-static)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
