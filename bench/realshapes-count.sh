#!/bin/sh
# SPDX-License-Identifier: MIT
# realshapes-count.sh REALSHAPES [NAME...]: callgrind's instructions for one
# pass of softglu and of earcut over the real shapes whose names start with
# NAME (bench/realshapes.cpp --once; by default all glyphs, and South
# Africa, a 4,872-vertex coast around Lesotho), per input vertex and per
# polygon; then, for softglu on the first NAME, the functions that execute
# the most instructions (self cost), to tell the fixed cost of a polygon
# from its cost per vertex.  Counts are exact and repeatable.
# realshapes-count.sh --file TESSFILE FILE NAME...: the x86-64 side of
# armel-count.sh --file, measured the same way: the instructions of
# bench/tessfile.cpp's run of two passes less its run of one, over the
# shapes of FILE (softglu_realshapes --write) named NAME..., per input
# vertex: every call from gluNewTess to gluDeleteTess counted.
set -eu
say() { echo "realshapes-count: $*" >&2; }
[ $# -ge 1 ] || { say "usage: realshapes-count.sh REALSHAPES [NAME...] | --file TESSFILE FILE NAME..."; exit 2; }
command -v valgrind >/dev/null && command -v callgrind_annotate >/dev/null || { say "valgrind is not installed"; exit 2; }
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT

if [ "$1" = --file ]; then
    [ $# -ge 4 ] || { say "usage: realshapes-count.sh --file TESSFILE FILE NAME..."; exit 2; }
    tessfile=$2 file=$3
    shift 3
    [ -x "$tessfile" ] || { say "'$tessfile' is not an executable (build softglu_tessfile)"; exit 2; }
    # total NAME TIMES: all the instructions of one run of tessfile.
    total() {
        LD_BIND_NOW=1 valgrind --tool=callgrind --log-file="$tmp/valgrind.log" --callgrind-out-file="$tmp/t.out" \
            "$tessfile" "$file" "$1" "$2" >"$tmp/stdout" || { say "$tessfile $file $1 $2 failed"; cat "$tmp/valgrind.log" >&2; return 1; }
        awk '/^(summary|totals):/ { t = $2 } END { print t + 0 }' "$tmp/t.out"
    }
    echo "| shapes | polygons | input vertices | instructions | per input vertex |"
    echo "|---|--:|--:|--:|--:|"
    for name in "$@"; do
        one=$(total "$name" 1) && two=$(total "$name" 2) || exit 1
        read -r _ polygons _ vertices _ <"$tmp/stdout"
        echo "| $name | $polygons | $vertices | $((two - one)) | $(((two - one) / vertices)) |"
    done
    exit 0
fi

program=$1
shift
[ $# -gt 0 ] || set -- glyphs/ "geography/South Africa"
[ -x "$program" ] || { say "'$program' is not an executable (build softglu_realshapes)"; exit 2; }

# count ENGINE NAME: one pass under callgrind, collected inside ENGINE's pass().
count() {
    case $1 in softglu) what='*Softglu::pass*' ;; *) what='*Earcut::pass*' ;; esac
    if ! LD_BIND_NOW=1 valgrind --tool=callgrind --log-file="$tmp/valgrind.log" --toggle-collect="$what" \
        --callgrind-out-file="$tmp/$1.out" "$program" "--once=$1:$2" >"$tmp/stdout"; then
        say "$program --once=$1:$2 failed (valgrind log below)"
        cat "$tmp/valgrind.log" >&2
        return 1
    fi
    grep -q 'polygons' "$tmp/stdout" || { say "$1 is not in $program (built without earcut?)"; return 1; }
    read -r _ polygons _ vertices _ triangles <"$tmp/stdout"
    total=$(awk '/^(summary|totals):/ { t = $2 } END { print t + 0 }' "$tmp/$1.out")
    echo "| $2 | $1 | $polygons | $vertices | $total | $((total / vertices)) | $((total / polygons)) |"
}

echo "| shapes | engine | polygons | vertices | instructions | per vertex | per polygon |"
echo "|---|---|--:|--:|--:|--:|--:|"
for name in "$@"; do
    count softglu "$name"
    [ -f "$tmp/first.out" ] || cp "$tmp/softglu.out" "$tmp/first.out"
    count earcut "$name" || true
done
echo
echo "softglu on $1: the functions that execute 99 % of its instructions (self cost, after inlining):"
echo
callgrind_annotate --threshold=99 "$tmp/first.out" 2>/dev/null |
    awk '/file:function/ { on = 1; getline; next } on && /^-+$/ { exit } on && NF { sub(/ \[[^]]*\]$/, ""); sub(/\?\?\?:/, ""); print "    " $0 }'
