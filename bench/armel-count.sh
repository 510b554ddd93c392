#!/bin/sh
# SPDX-License-Identifier: MIT
# armel-count.sh ARMEL_BUILD N...: armel's instructions per input vertex for
# one wavy ring of N vertices through the tessellator, from gluNewTess to
# gluDeleteTess (bench/tessone.cpp).
# armel-count.sh ARMEL_BUILD --nurbs HOLES...: armel's instructions for one
# of bench/trimmed.h's surfaces with 0, 1 or 10 holes (bench/nurbsone.cpp).
# armel-count.sh ARMEL_BUILD --file FILE PREFIX...: armel's instructions per
# input vertex for the real shapes of FILE (softglu_realshapes --write)
# whose names start with PREFIX, all through one tessellator as
# softglu_realshapes times them (bench/tessfile.cpp); the other shapes are
# dropped from the file first, so that qemu does not parse them.
# The driver is cross-built against ARMEL_BUILD's compatibility archive
# (build/armel; built first when the build is configured but the archive
# missing) and run under qemu-arm on the arm926, which logs each
# translation block's instructions once (-d in_asm) and each execution of a
# block by its address (-d exec, with nochain so that none goes unlogged):
# the sum over executions of their blocks' sizes counts the instructions
# (the same count as one instruction a block, -singlestep, gives, seven
# times faster).  The difference between one and two runs leaves out the
# program's own start and its input's making.  The log streams through a
# pipe, never to disk.
set -u
say() { echo "armel-count: $*" >&2; }
usage="usage: armel-count.sh ARMEL_BUILD [--nurbs] N... | ARMEL_BUILD --file FILE PREFIX..."
[ $# -ge 2 ] || { say "$usage"; exit 2; }
build=$1
shift
driver=tessone
case $1 in
--nurbs) driver=nurbsone; shift ;;
--file)
    driver=tessfile
    [ $# -ge 2 ] || { say "$usage"; exit 2; }
    file=$2
    shift 2
    [ -f "$file" ] && [ -r "$file" ] || { say "cannot read '$file' (softglu_realshapes --write=FILE makes it)"; exit 2; }
    ;;
esac
[ $# -ge 1 ] || { say "$usage"; exit 2; }
src=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -f "$build/libsoftglu-compat.a" ] && [ -f "$build/CMakeCache.txt" ]; then
    say "building $build/libsoftglu-compat.a"
    cmake --build "$build" --target softglu_compat -j1 >&2 || { say "cannot build $build's softglu_compat"; exit 1; }
fi
[ -f "$build/libsoftglu-compat.a" ] || { say "no $build/libsoftglu-compat.a: configure and build the armel preset first"; exit 2; }
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
arm-linux-gnueabi-g++ -O2 -Wno-psabi -DSOFTGLU_COMPAT -I"$src/include" -I"$src/bench" "$src/bench/$driver.cpp" "$src/bench/nullgl.cpp" \
    "$build/libsoftglu-compat.a" -o "$work/$driver" -ldl -lpthread || { say "cross build failed"; exit 1; }
# instructions ARG... TIMES: the instructions qemu-arm executes for the
# program; its standard output goes to $work/out.
instructions() {
    rm -f "$work/log" && mkfifo "$work/log" || return 1
    awk '/^IN:/ { inblock = 1; pc = ""; n = 0; next }
         inblock && /^0x[0-9a-f]+:/ { if (pc == "") pc = substr($1, 3, length($1) - 3); n++; next }
         inblock && /^$/ { if (pc != "") size[pc] = n; inblock = 0; next }
         /^Trace/ { split($0, f, "/"); total += size[f[2]] }
         END { printf "%.0f\n", total }' <"$work/log" >"$work/count" &
    counter=$!
    qemu-arm -L /usr/arm-linux-gnueabi -cpu arm926 -d in_asm,nochain,exec -D "$work/log" \
        "$work/$driver" "$@" >"$work/out" || { say "$driver $* failed under qemu-arm"; return 1; }
    wait "$counter"
    cat "$work/count"
}
if [ $driver = tessfile ]; then
    echo "| shapes | polygons | input vertices | instructions | per input vertex |"
    echo "|---|--:|--:|--:|--:|"
    for prefix in "$@"; do
        # The shapes named PREFIX..., and nothing else, to $work/shapes.
        prefix=$prefix awk 'BEGIN { p = ENVIRON["prefix"] } /^shape / { keep = index(substr($0, 7), p) == 1 } keep' \
            "$file" >"$work/shapes" || { say "cannot copy the shapes of $file"; exit 1; }
        say "counting $prefix"
        one=$(instructions "$work/shapes" "$prefix" 1) && two=$(instructions "$work/shapes" "$prefix" 2) || exit 1
        read -r _ polygons _ vertices _ <"$work/out"
        echo "| $prefix | $polygons | $vertices | $((two - one)) | $(((two - one) / vertices)) |"
    done
    exit 0
fi
if [ $driver = tessone ]; then
    echo "| ring vertices | instructions | per input vertex |"
    echo "|--:|--:|--:|"
else
    echo "| holes | instructions |"
    echo "|--:|--:|"
fi
for n in "$@"; do
    one=$(instructions "$n" 1) && two=$(instructions "$n" 2) || exit 1
    if [ $driver = tessone ]; then
        echo "| $n | $((two - one)) | $(((two - one) / n)) |"
    else
        echo "| $n | $((two - one)) |"
    fi
done
