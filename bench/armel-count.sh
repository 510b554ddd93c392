#!/bin/sh
# SPDX-License-Identifier: MIT
# armel-count.sh ARMEL_BUILD N...: armel's instructions per input vertex for
# one wavy ring of N vertices through the tessellator, from gluNewTess to
# gluDeleteTess.  bench/tessone.cpp is cross-built against ARMEL_BUILD's
# compatibility archive (build/armel) and run under qemu-arm on the arm926
# with one instruction a translation block (-singlestep) and every block's
# execution logged (-d nochain,exec): the log's lines count the
# instructions.  The difference between one and two polygons leaves out
# the program's own start and the ring's sines.  The log streams through
# a pipe, never to disk.
set -u
say() { echo "armel-count: $*" >&2; }
[ $# -ge 2 ] || { say "usage: armel-count.sh ARMEL_BUILD N..."; exit 2; }
build=$1
shift
src=$(cd "$(dirname "$0")/.." && pwd)
[ -f "$build/libsoftglu-compat.a" ] || { say "no $build/libsoftglu-compat.a: build the armel preset first"; exit 2; }
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
arm-linux-gnueabi-g++ -O2 -Wno-psabi -DSOFTGLU_COMPAT -I"$src/include" -I"$src/bench" "$src/bench/tessone.cpp" \
    "$build/libsoftglu-compat.a" -o "$work/tessone" -ldl -lpthread || { say "cross build failed"; exit 1; }
# instructions N TIMES: the instructions qemu-arm executes for the program.
instructions() {
    rm -f "$work/log" && mkfifo "$work/log" || return 1
    grep -c '^Trace' <"$work/log" >"$work/count" &
    counter=$!
    qemu-arm -L /usr/arm-linux-gnueabi -cpu arm926 -singlestep -d nochain,exec -D "$work/log" \
        "$work/tessone" "$1" "$2" >/dev/null || { say "tessone $1 $2 failed under qemu-arm"; return 1; }
    wait "$counter"
    cat "$work/count"
}
echo "| ring vertices | instructions | per input vertex |"
echo "|--:|--:|--:|"
for n in "$@"; do
    one=$(instructions "$n" 1) && two=$(instructions "$n" 2) || exit 1
    echo "| $n | $((two - one)) | $(((two - one) / n)) |"
done
