# SPDX-License-Identifier: MIT
# The part every cross toolchain file (cmake/<triplet>.cmake) shares: Debian's
# cross compiler <triplet>-gcc/g++ (package g++-<triplet>), its libraries in
# /usr/<triplet>, and the target's programs, tests included, run under
# qemu-user with that directory as their root for the dynamic loader.
#
# The including file sets SOFTGLU_TRIPLET, CMAKE_SYSTEM_PROCESSOR and
# SOFTGLU_QEMU (the qemu-user program), and says why its CPU model is the
# one cmake/architectures.txt names.  From that list come SOFTGLU_DEB_ARCH,
# Debian's name for the architecture, and SOFTGLU_QEMU_BASELINE_CPU (below).
# Flags a target needs are cmake/target-flags.cmake's to decide.
set(CMAKE_SYSTEM_NAME Linux)

file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/architectures.txt softglu_arches REGEX "^[^#]")
foreach(softglu_row IN LISTS softglu_arches)
  string(REGEX REPLACE " +" ";" softglu_row "${softglu_row}")
  list(GET softglu_row 1 softglu_triplet)
  if(softglu_triplet STREQUAL SOFTGLU_TRIPLET)
    list(GET softglu_row 0 SOFTGLU_DEB_ARCH)
    list(GET softglu_row 2 SOFTGLU_QEMU_BASELINE_CPU)
  endif()
endforeach()
if(NOT SOFTGLU_DEB_ARCH)
  message(FATAL_ERROR "softglu: cmake/architectures.txt has no architecture ${SOFTGLU_TRIPLET}")
endif()

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

# The target's own libc6 installed beside the cross toolchain (multiarch)
# is found by the target's loader through this machine's ld.so.cache, and
# runs with the toolchain's ld.so: unless the two are one build, the tests
# crash under qemu (threads and spawned tools first).  Refused here, with
# the reason, rather than left to crash.
execute_process(COMMAND dpkg-architecture -a${SOFTGLU_DEB_ARCH} -qDEB_HOST_MULTIARCH
  OUTPUT_VARIABLE SOFTGLU_MULTIARCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
foreach(softglu_libc /lib/${SOFTGLU_MULTIARCH}/libc.so.6 /usr/lib/${SOFTGLU_MULTIARCH}/libc.so.6)
  if(SOFTGLU_MULTIARCH AND EXISTS ${softglu_libc} AND EXISTS ${SOFTGLU_SYSROOT}/lib/libc.so.6)
    file(SHA256 ${softglu_libc} softglu_installed)
    file(SHA256 ${SOFTGLU_SYSROOT}/lib/libc.so.6 softglu_cross)
    if(NOT softglu_installed STREQUAL softglu_cross)
      message(FATAL_ERROR "softglu: ${softglu_libc} (libc6:${SOFTGLU_DEB_ARCH}) is installed and is not "
        "the cross toolchain's ${SOFTGLU_SYSROOT}/lib/libc.so.6: under ${SOFTGLU_QEMU} the tests would "
        "load it with the toolchain's ld.so, which does not match, and crash.  Remove libc6:${SOFTGLU_DEB_ARCH} "
        "(scripts/build-packages needs it only unpacked, and does that itself).")
    endif()
  endif()
endforeach()

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
