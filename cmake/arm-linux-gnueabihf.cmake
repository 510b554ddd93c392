# SPDX-License-Identifier: MIT
# Cross build for Debian armhf: 32-bit little-endian ARM, EABI5, hardware
# floating point (ARMv7-A, VFPv3-D16, floats passed in VFP registers).
# Packages: g++-arm-linux-gnueabihf, qemu-user.
set(SOFTGLU_TRIPLET arm-linux-gnueabihf)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(SOFTGLU_QEMU qemu-arm)
# Cortex-A8: the oldest ARMv7-A core qemu has.  It lacks what later cores
# add (VFPv4's fused vfma, integer division), which fault on it.  It has 32
# double registers and NEON where Debian's armhf baseline guarantees 16 and
# no NEON (qemu has no ARMv7-A model without them): the arch test checks
# the library asks for no more than VFPv3-D16 (Tag_FP_arch).
# The GCC 7.1 note on passing C++ types: one compiler builds everything here.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
