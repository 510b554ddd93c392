# SPDX-License-Identifier: MIT
# Cross build for Debian mips64el: 64-bit little-endian MIPS, the n64 ABI,
# MIPS64 release 2 with a hardware FPU and the legacy NaN encoding (a quiet
# NaN has the top fraction bit clear).  GCC emits none of its multiply-add
# instructions (madd.d, which some cores fuse) for this target, even where
# it may contract; the arch test checks none appears.  Packages:
# g++-mips64el-linux-gnuabi64, qemu-user.
set(SOFTGLU_TRIPLET mips64el-linux-gnuabi64)
set(CMAKE_SYSTEM_PROCESSOR mips64el)
set(SOFTGLU_QEMU qemu-mips64el)
# MIPS 5KEf: MIPS64 release 2 with an FPU, Debian's mips64el baseline (the
# compiler's -march=mips64r2); the DSP extension faults on it.  qemu's older
# 64-bit models lack release 2's instructions (dext faults on the 5Kf) or
# the FPU (5KEc).
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
