# SPDX-License-Identifier: MIT
# Cross build for Debian i386: 32-bit x86.  Its compiler's default is x87
# arithmetic, which holds floats and doubles in 80-bit registers and would
# change the bits softglu sends; src/glu.cpp refuses to build that way.  SSE2
# arithmetic rounds each operation to its own precision, so CMakeLists.txt
# builds everything for this target with it (the library then needs an SSE2
# processor: Pentium 4 or later).  Packages: g++-i686-linux-gnu, qemu-user.
set(SOFTGLU_TRIPLET i686-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(SOFTGLU_QEMU qemu-i386)
# qemu has no Pentium 4 model.  Its athlon is its one x86 model with SSE2
# and without SSE3, the Pentium 4 class that this SSE2 build needs: SSE3
# and later instructions fault on it, and glibc picks its SSE2 routines.
# (qemu's athlon also reports 3DNow!, which no compiler here emits.)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)

# qemu-i386 7.2 (Debian 12) hangs when a dynamically linked program starts a
# thread, so the test of many threads drawing at once is left out here; it
# runs on every other architecture.
set(SOFTGLU_EMULATOR_THREADS OFF)
