# SPDX-License-Identifier: MIT
# Cross build for Debian arm64: 64-bit little-endian ARM.  It has fused
# multiply-add instructions, which GCC uses by default: src/glu.cpp turns
# that off for itself.  Packages: g++-aarch64-linux-gnu, qemu-user.
set(SOFTGLU_TRIPLET aarch64-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(SOFTGLU_QEMU qemu-aarch64)
# Cortex-A53: ARMv8.0-A, Debian's arm64 baseline (with the optional crypto
# and CRC instructions); ARMv8.1's atomics (ldadd, cas) fault on it, so
# libgcc's outline atomics take their load/store-exclusive path.
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
