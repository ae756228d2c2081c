# SPDX-License-Identifier: GPL-2.0-or-later
# Cross build on a Debian amd64 machine with the target's architecture added: Debian's cross
# compiler for TRIPEL, Qt's development packages of the target architecture, and the emulator
# EMULATOR (qemu's) for the test programs. Qt's code generators (moc, rcc) come from the machine's
# own Qt. MULTIARCH names the target's library folder where it is not TRIPEL.
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/debian-cross.cmake -DTRIPEL=arm-linux-gnueabihf
#         -DEMULATOR=qemu-arm-static [-DMULTIARCH=...]
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TRIPEL EMULATOR MULTIARCH)
set(CMAKE_SYSTEM_NAME Linux)
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR "${TRIPEL}")
set(CMAKE_C_COMPILER ${TRIPEL}-gcc)
set(CMAKE_CXX_COMPILER ${TRIPEL}-g++)
if(NOT MULTIARCH)
    set(MULTIARCH ${TRIPEL})
endif()
set(CMAKE_LIBRARY_ARCHITECTURE ${MULTIARCH})

# Multiarch: the target's libraries and their CMake packages live beside the amd64 ones.
set(CMAKE_FIND_ROOT_PATH /usr/lib/${MULTIARCH} /usr/${TRIPEL})
set(CMAKE_PREFIX_PATH /usr/lib/${MULTIARCH}/cmake)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR ${EMULATOR})
