#!/bin/sh
# SPDX-License-Identifier: MIT
# tessfile-test.sh TESSFILE: bench/tessfile.cpp on small files in the
# format softglu_realshapes --write makes: what it reads and tessellates
# under the odd rule, and the files it refuses.
set -u
[ $# -eq 1 ] || { echo "usage: tessfile-test.sh TESSFILE" >&2; exit 2; }
tessfile=$1
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
failed=0

# case NAME PREFIX TIMES EXPECTED FILE-TEXT: EXPECTED is the standard output,
# or "error: TEXT" for an exit of 1 with TEXT in the message.
case_() {
    printf '%b' "$5" >"$work/in"
    out=$("$tessfile" "$work/in" "$2" "$3" 2>"$work/err")
    rc=$?
    case $4 in
    error:*) [ $rc -eq 1 ] && grep -qF "${4#error: }" "$work/err" ;;
    *) [ $rc -eq 0 ] && [ "$out" = "$4" ] ;;
    esac || { echo "FAIL $1: exit $rc, out '$out', err '$(cat "$work/err")'"; failed=1; }
}

square='ring 4\n0 0\n4 0\n4 4\n0 4\n'
hole='ring 4\n1 1\n3 1\n3 3\n1 3\n'  # turning as the outline: a hole by the odd rule alone
case_ "a square with a hole: 8 triangles" a 1 "polygons 1 vertices 8 received 24" "# c\nshape a\npolygon 2\n$square$hole"
case_ "twice" a 2 "polygons 1 vertices 8 received 48" "shape a\npolygon 2\n$square$hole"
case_ "a bowtie: its two lobes" b 1 "polygons 1 vertices 4 received 6" "shape b\npolygon 1\nring 4\n0 0\n2 2\n2 0\n0 2\n"
case_ "the prefix chooses" glyphs/ 1 "polygons 1 vertices 4 received 6" \
    "shape geography/x\npolygon 1\n${square}shape glyphs/a\npolygon 1\n$square"
case_ "no shape of that name" z 1 "error: no shape" "shape a\npolygon 1\n$square"
case_ "a ring missing" a 1 "error: :8: expected 'ring POINTS'" "shape a\npolygon 2\n${square}shape b\n"
case_ "a point missing" a 1 "error: ends early" "shape a\npolygon 1\nring 4\n0 0\n1 0\n"
case_ "a bad point" a 1 "error: :5: expected 'x y'" "shape a\npolygon 1\nring 3\n0 0\n1 x\n0 1\n"
case_ "a bad count" a 1 "error: bad count" "shape a\npolygon 0\n"
case_ "a stray line" a 1 "error: :1: expected 'shape NAME'" "0 0\n"
exit $failed
