# SPDX-License-Identifier: MIT
# Cross build for riscv64: 64-bit little-endian RISC-V, rv64gc with the
# lp64d ABI (doubles in floating-point registers).  It has fused
# multiply-add instructions, which GCC uses by default: src/glu.cpp turns
# that off for itself.  Packages: g++-riscv64-linux-gnu, qemu-user.
set(SOFTGLU_TRIPLET riscv64-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR riscv64)
set(SOFTGLU_QEMU qemu-riscv64)
# SiFive U54: rv64gc (rv64imafdc) and nothing more, Debian's riscv64
# baseline.  qemu's generic rv64 model adds the bit-manipulation extensions
# (Zba, Zbb, Zbc, Zbs), whose instructions fault on the U54.
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
