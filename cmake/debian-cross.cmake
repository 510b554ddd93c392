# SPDX-License-Identifier: MIT
# The part every cross toolchain file (cmake/<triplet>.cmake) shares: Debian's
# cross compiler <triplet>-gcc/g++ (package g++-<triplet>), its libraries in
# /usr/<triplet>, and the target's programs, tests included, run under
# qemu-user with that directory as their root for the dynamic loader.
#
# The including file sets SOFTGLU_TRIPLET, CMAKE_SYSTEM_PROCESSOR,
# SOFTGLU_DEB_ARCH (Debian's name for the architecture), SOFTGLU_QEMU (the
# qemu-user program) and SOFTGLU_QEMU_BASELINE_CPU (its CPU model, below),
# and any flags the target needs.
set(CMAKE_SYSTEM_NAME Linux)

set(CMAKE_C_COMPILER ${SOFTGLU_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${SOFTGLU_TRIPLET}-g++)

# Debian's cross compiler already knows where its libraries live; the
# sysroot is only where CMake looks for target packages and libraries.
set(SOFTGLU_SYSROOT /usr/${SOFTGLU_TRIPLET})
set(CMAKE_FIND_ROOT_PATH ${SOFTGLU_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(SOFTGLU_QEMU_PROGRAM ${SOFTGLU_QEMU} REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${SOFTGLU_QEMU_PROGRAM} -L ${SOFTGLU_SYSROOT})

# qemu-user's default CPU model is the newest it knows, which runs
# instructions the oldest board Debian supports lacks.  The tests run on the
# oldest model qemu has that meets the architecture's Debian baseline
# (SOFTGLU_QEMU_BASELINE_CPU, from the toolchain file), so that code needing
# a newer processor, in softglu or in the libraries it runs with, faults
# here as it would there.  -DSOFTGLU_QEMU_CPU=max runs the newest; empty,
# qemu's default.
set(SOFTGLU_QEMU_CPU "${SOFTGLU_QEMU_BASELINE_CPU}" CACHE STRING
  "qemu-user CPU model the target's programs run on (default: the oldest that meets Debian's baseline)")
if(SOFTGLU_QEMU_CPU)
  list(APPEND CMAKE_CROSSCOMPILING_EMULATOR -cpu ${SOFTGLU_QEMU_CPU})
endif()
