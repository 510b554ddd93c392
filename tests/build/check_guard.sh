#!/bin/sh
# SPDX-License-Identifier: MIT
# check_guard.sh SOURCE WORK OBJDUMP CXX...: src/exact.h defends every file
# that includes it, whatever the file is built with.  src/glu.cpp and each
# source of the compatibility layer are compiled by hand with each CXX (and
# clang++, when this machine has it), as another project's build might:
#   - with `-O2 -mfma`, where GCC fuses every multiply and add it can and
#     clang those within an expression, the object holds no fused
#     multiply-add; a copy of the sources without the guard, built alike,
#     does (so the flags would fuse, and the guard is what stops them);
#   - with -ffast-math, -Ofast or -ffinite-math-only, it refuses to compile
#     with softglu's #error.
# x86-64 only (-mfma); the cross suites' plain_build and arch tests look at
# the other architectures' code.
set -u
src=$1 work=$2 objdump=$3
shift 3
fail=0
. "$(dirname "$0")/lib.sh"

rm -rf "$work" && mkdir -p "$work" || exit 1
# The copy without the guard: the same files, its #include taken out.
cp -R "$src/src" "$work/unguarded" || exit 1
for f in "$work"/unguarded/glu.cpp "$work"/unguarded/compat/*.cpp; do
    sed -i '/#include "\(\.\.\/\)\{0,1\}exact\.h"/d' "$f" || exit 1
done

compilers=$*
for c in clang++-14 clang++; do
    command -v "$c" >/dev/null && { compilers="$compilers $c"; break; }
done

fused() { "$objdump" -d --no-show-raw-insn "$1" | grep -c -E '[[:space:]]vfn?m(add|sub)[0-9a-z]*[[:space:]]'; }

for cxx in $compilers; do
    unguarded=0
    for f in glu.cpp $(cd "$src/src" && ls compat/*.cpp); do
        defs=
        case $f in compat/*) defs='-DSOFTGLU_COMPAT -DSOFTGLU_VERSION="0"' ;; esac
        o=$work/$(basename "$cxx")-$(basename "$f" .cpp)
        # shellcheck disable=SC2086
        build() { "$cxx" -c -O2 -mfma -fPIC -I"$src/include" $defs "$@" 2>"$o.log"; }
        if build -o "$o.o" "$src/src/$f"; then
            n=$(fused "$o.o")
            [ "$n" -eq 0 ] || bad "$cxx -O2 -mfma: $f holds $n fused multiply-adds"
        else
            bad "$cxx -O2 -mfma does not compile $f: $(head -3 "$o.log")"
        fi
        build -o "$o.unguarded.o" "$work/unguarded/$f" &&
            unguarded=$((unguarded + $(fused "$o.unguarded.o")))
        for flag in -ffast-math -Ofast -ffinite-math-only; do
            if build -o "$o.refused.o" "$flag" "$src/src/$f"; then
                bad "$cxx $flag compiles $f"
            elif ! grep -q '#error "softglu: ' "$o.log"; then
                bad "$cxx $flag: $f fails, but not at softglu's #error: $(head -3 "$o.log")"
            fi
        done
    done
    [ "$unguarded" -gt 0 ] || bad "$cxx -O2 -mfma fuses nothing even without the guard: this proves nothing"
    echo "$cxx: no fused multiply-add with the guard ($unguarded without it), fast-math and finite-math refused"
done

exit $fail
