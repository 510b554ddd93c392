# SPDX-License-Identifier: MIT
# Cross build for Debian armhf: 32-bit little-endian ARM, EABI5, hardware
# floating point (ARMv7-A, VFPv3-D16, floats passed in VFP registers).
# Packages: g++-arm-linux-gnueabihf, qemu-user.
set(SOFTGLU_TRIPLET arm-linux-gnueabihf)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(SOFTGLU_DEB_ARCH armhf)
set(SOFTGLU_QEMU qemu-arm)
# The GCC 7.1 note on passing C++ types: one compiler builds everything here.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
