# SPDX-License-Identifier: MIT
# Cross build for Debian armel, softglu's primary target: 32-bit
# little-endian ARM, EABI5, software floating point (the compiler's default:
# ARMv5TE, soft float).  Packages: g++-arm-linux-gnueabi, qemu-user.
#
#   cmake -S . -B build/armel -DCMAKE_TOOLCHAIN_FILE=$PWD/cmake/arm-linux-gnueabi.cmake
set(SOFTGLU_TRIPLET arm-linux-gnueabi)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(SOFTGLU_QEMU qemu-arm)
# ARM926EJ-S: ARMv5TE (with Jazelle), the first core of Debian's armel
# baseline; ARMv6 instructions (rev, ldrex) fault on it.  qemu's model has
# the optional VFPv2 coprocessor, so a VFP instruction would run here: the
# arch test checks the library asks for no FPU (Tag_FP_arch).
# GCC notes that the passing of some C++ types changed in GCC 7.1; everything
# here is built by one compiler, so the note says nothing.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
