# Cross build for Debian armel: 32-bit little-endian ARM, EABI5, software
# floating point (the arm-linux-gnueabi compiler's default: armv5te, soft
# float).  Packages: g++-arm-linux-gnueabi, qemu-user.
#
#   cmake -S . -B build/armel -DCMAKE_TOOLCHAIN_FILE=cmake/arm-linux-gnueabi.cmake
#
# Target programs (tests included) run under qemu-arm with the armel sysroot.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(CMAKE_C_COMPILER arm-linux-gnueabi-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabi-g++)

# GCC notes that the passing of some C++ types changed in GCC 7.1; everything
# here is built by one compiler, so the note says nothing.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)

# Debian's cross compiler already knows where its libraries live; the
# sysroot is only where CMake looks for target packages and libraries.
set(SOFTGLU_SYSROOT /usr/arm-linux-gnueabi)
set(CMAKE_FIND_ROOT_PATH ${SOFTGLU_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(SOFTGLU_QEMU_ARM qemu-arm REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${SOFTGLU_QEMU_ARM} -L ${SOFTGLU_SYSROOT})

# Debian's name for the architecture, for packages.
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE armel)
