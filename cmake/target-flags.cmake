# SPDX-License-Identifier: MIT
# How softglu compiles for the target the compiler builds for, decided
# here alone, from the compiler, for every build: the presets', the Debian
# packages', a parent project's and bench/family-scan/family-scan.sh's scans of each
# architecture's libm.

# Every float operation is rounded on its own: no FMA contraction, no
# fast-math, for everything softglu builds.  The library's sources defend
# this themselves (src/exact.h); the flags hold the tests', tools' and
# benchmark's own arithmetic to it too.
add_compile_options(-ffp-contract=off -fno-fast-math)

# The flags a target needs, decided from what the compiler targets.
include(CheckCSourceCompiles)
function(softglu_targets name condition)
  check_c_source_compiles("#if !(${condition})\n#error not this target\n#endif\nint main(void) { return 0; }" ${name})
endfunction()
# 32-bit x86: the compiler's default x87 arithmetic keeps 80-bit
# intermediates, which src/exact.h refuses.  SSE2 rounds each operation in
# its own precision (a Pentium 4 or later; Debian's libsoftglu1 pre-depends
# on sse2-support there).  In the language flags, not the directory's
# options: targets that set their own options (the tracer's interposer,
# whose probes compute sin, cos and tan) keep it too.
softglu_targets(SOFTGLU_TARGET_I386 "defined __i386__")
if(SOFTGLU_TARGET_I386)
  string(APPEND CMAKE_C_FLAGS " -msse2 -mfpmath=sse")
  string(APPEND CMAKE_CXX_FLAGS " -msse2 -mfpmath=sse")
endif()
# glibc keeps the stack protector's guard in the dynamic loader on 32- and
# 64-bit ARM, MIPS and RISC-V (__stack_chk_guard in ld.so, not in
# thread-local storage as on x86, POWER and IBM Z), so an instrumented
# libsoftglu would need ld.so beside libc and libm (gluSphere is
# instrumented where the protector is on, as in the Debian packages).  The
# library is built without it there; everything else keeps the protector.
softglu_targets(SOFTGLU_GUARD_IN_LOADER
  "defined __arm__ || defined __aarch64__ || defined __mips__ || defined __riscv")
