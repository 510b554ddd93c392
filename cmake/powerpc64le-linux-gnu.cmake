# SPDX-License-Identifier: MIT
# Cross build for Debian ppc64el: 64-bit little-endian POWER, ELFv2 ABI.  It
# has fused multiply-add instructions (fmadd, and VSX's xsmadd), which GCC
# uses by default: src/glu.cpp turns that off for itself.  Packages:
# g++-powerpc64le-linux-gnu, qemu-user.
set(SOFTGLU_TRIPLET powerpc64le-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR ppc64le)
set(SOFTGLU_QEMU qemu-ppc64le)
# Debian's ppc64el baseline is POWER8 (the compiler's -mcpu=power8), but
# qemu 7.2's power8 model cannot run glibc's libm: its sin and cos execute
# mffsl, which a real POWER8 decodes as mffs and qemu's POWER8 rejects as
# illegal.  POWER9 is the oldest model that runs the suite; the arch test
# holds the library itself to POWER8's instructions.  (POWER7 cannot even
# start glibc's loader.)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
