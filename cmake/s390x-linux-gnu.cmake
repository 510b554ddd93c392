# SPDX-License-Identifier: MIT
# Cross build for Debian s390x: 64-bit big-endian IBM Z.  The byte order is
# the one every other target reverses; it has fused multiply-add, which
# src/glu.cpp turns off for itself.  Packages: g++-s390x-linux-gnu, qemu-user.
set(SOFTGLU_TRIPLET s390x-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(SOFTGLU_QEMU qemu-s390x)
# z196, Debian's s390x baseline (the compiler's -march=z196): qemu's static
# z196 model, less the facilities qemu does not emulate (the crypto
# assists, decimal floating point, the HFP extensions and a few system
# facilities), without which it refuses to start.  The vector facility
# (z13) is absent: a vector instruction faults.
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
