#!/bin/sh
# SPDX-License-Identifier: MIT
# check_build_tree.sh BUILD SOURCE WORK CMAKE VERSION TOOLCHAIN [EMULATOR...]:
# another project uses softglu's build tree BUILD, uninstalled, through
# find_package(softglu VERSION EXACT) with -Dsoftglu_DIR=BUILD:
# tests/build/consumer's programs (softglu::softglu, before and after
# OpenGL::GL, and softglu::static) build, include the source tree's
# GL/glu.h and no other, and run (under EMULATOR when given; TOOLCHAIN is a
# cross build's toolchain file, or empty).
set -u
build=$1 src=$2 work=$3 cmake=$4 version=$5 toolchain=$6
shift 6
fail=0
. "$(dirname "$0")/lib.sh"
rm -rf "$work" && mkdir -p "$work" || exit 1
ours=$(readlink -f "$src/include/GL/glu.h")

if ! { "$cmake" -S "$src/tests/build/consumer" -B "$work" -DSPHERE_SOURCE="$src/examples/sphere.c" \
           -DSOFTGLU_VERSION="$version" -Dsoftglu_DIR="$build" \
           ${toolchain:+"-DCMAKE_TOOLCHAIN_FILE=$toolchain"} && "$cmake" --build "$work"; } >"$work.log" 2>&1; then
    cat "$work.log"
    echo "FAIL: a project does not build against the build tree $build"
    exit 1
fi
n=0
for exe in "$work"/sphere_*; do
    [ -f "$exe" ] || continue
    n=$((n + 1))
    target=$(basename "$exe")
    headers=$(find "$work/CMakeFiles/$target.dir" -name '*.o.d' -exec cat {} + | tr ' \\' '\n\n' | grep '/GL/glu\.h$')
    for h in $headers; do
        [ "$(readlink -f "$h")" = "$ours" ] || bad "$target includes $h, not $ours"
    done
    [ -n "$headers" ] || bad "$target includes no GL/glu.h"
    "$@" "$exe" >"$exe.out" 2>&1 || { cat "$exe.out"; bad "$target fails"; }
done
[ "$n" -ge 2 ] || bad "only $n programs were built"

[ $fail -eq 0 ] && echo "build tree ok: $n programs against $build, its GL/glu.h only"
exit $fail
