#!/bin/sh
# SPDX-License-Identifier: MIT
# callgrind.sh CALLONE [A B]: runs one call of each function (the
# tessellators at A x B, 32 x 32 by default) under callgrind and prints the
# instructions it executes per emitted vertex: inside libsoftglu, inside the
# math library (libm), and in the do-nothing GL entry points of CALLONE
# (bench/callone.cpp).  Also the math library calls the library made.  Then
# the tessellator's instructions per input vertex (bench/tessone.cpp).
# Instruction counts are exact and repeatable where timings are not: a
# regression shows as a changed figure.
set -eu

if [ $# -ne 1 ] && [ $# -ne 3 ]; then
    echo "usage: $0 CALLONE [A B]" >&2
    exit 2
fi
callone=$1
size=${2:-32}x${3:-32}
if [ ! -x "$callone" ]; then
    echo "$0: '$callone' is not an executable (build bench/softglu_callone first)" >&2
    exit 2
fi
command -v valgrind >/dev/null || { echo "$0: valgrind is not installed" >&2; exit 2; }
shift
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Sums the self cost (Ir) of a callgrind output file by object, skipping the
# inclusive cost lines that follow each calls= line, and counts the calls
# from libsoftglu into libm.  Names are compressed as "(id) name" the first
# time and "(id)" after.
summarise='
function named(kind, text,    id) {
    id = text; sub(/\).*/, "", id); sub(/^\(/, "", id)
    if (text ~ /\) /) { sub(/^\([0-9]+\) /, "", text); names[kind, id] = text }
    return names[kind, id]
}
function part(object) {
    if (object ~ /libsoftglu\.so/) return "lib"
    if (object ~ /libm\.so/) return "libm"
    if (object == exe) return "gl"
    return "other"
}
/^ob=/  { ob = named("ob", substr($0, 4)); next }
/^cob=/ { cob = named("ob", substr($0, 5)); next }
/^fn=/  { named("fn", substr($0, 4)); next }
/^cfn=/ { cfn = named("fn", substr($0, 5)); next }
/^calls=/ {
    skip = 1
    if (part(ob) == "lib" && part(cob) == "libm") {
        n = substr($1, 7); name = cfn
        gsub(/^_+|_(fma|fma4|avx|avx2|sse2|sse41)$/, "", name)
        math[name] += n
    }
    next
}
/^[0-9+*-]/ { if (skip) { skip = 0; next } ir[part(ob)] += $NF; next }
END {
    per = vertices > 0 ? vertices : 1
    calls = ""
    for (m in math) calls = calls (calls == "" ? "" : ", ") m " " math[m]
    printf "| %s | %d | %.1f | %.1f | %.1f | %s |\n", fn, vertices,
        ir["lib"] / per, ir["libm"] / per, ir["gl"] / per, calls == "" ? "none" : calls
}'

echo "Instructions per emitted vertex (per call where none is emitted), one call at $size:"
echo
echo "| call | vertices | libsoftglu | libm | GL stand-in | math calls made by libsoftglu |"
echo "|---|--:|--:|--:|--:|---|"
for fn in gluCylinder gluDisk gluSphere drawTorus gluPerspective gluNewQuadric gluQuadricDrawStyle; do
    out=$tmp/$fn.callgrind
    # Binding every symbol at start-up keeps the dynamic linker out of the count.
    if ! LD_BIND_NOW=1 valgrind --tool=callgrind --log-file="$tmp/valgrind.log" \
        --toggle-collect="$fn" --callgrind-out-file="$out" "$callone" "$fn" "$@" >"$tmp/stdout"; then
        echo "$0: $callone $fn $* failed (valgrind log: $tmp/valgrind.log)" >&2
        trap - EXIT
        exit 1
    fi
    vertices=$(sed -n 's/^vertices //p' "$tmp/stdout")
    awk -v fn="$fn" -v vertices="$vertices" -v exe="$(realpath "$callone")" "$summarise" "$out"
done

# The tessellator (the compatibility layer, linked into TESSONE, beside
# CALLONE): all the instructions of one gluTessEndPolygon on the wavy ring
# of bench/shapes.h, per input vertex.
tessone=$(dirname "$callone")/softglu_tessone
[ -x "$tessone" ] || { echo "$0: '$tessone' is not an executable" >&2; exit 2; }
echo
echo "The tessellator, one gluTessEndPolygon of the wavy 7-lobed ring (all instructions, callbacks included):"
echo
echo "| ring vertices | instructions | per input vertex |"
echo "|--:|--:|--:|"
for n in 1000 10000; do
    out=$tmp/tess$n.callgrind
    if ! LD_BIND_NOW=1 valgrind --tool=callgrind --log-file="$tmp/valgrind.log" \
        --toggle-collect=gluTessEndPolygon --callgrind-out-file="$out" "$tessone" "$n" >"$tmp/stdout"; then
        echo "$0: $tessone $n failed (valgrind log: $tmp/valgrind.log)" >&2
        trap - EXIT
        exit 1
    fi
    awk -v n="$n" '/^(summary|totals):/ { total = $2 } END { printf "| %d | %d | %.0f |\n", n, total, total / n }' "$out"
done
