#!/bin/sh
# SPDX-License-Identifier: MIT
# check_abi_baseline.sh BASELINE HEADERS LIBRARY [--update | --mutant CXX SOURCE WORK]: libabigail's
# abidiff compares LIBRARY (libsoftglu.so.1 with its debug information)
# with BASELINE, the abidw dump committed in tests/build/abi, through the
# public headers in HEADERS.  Any difference fails, with abidiff's report: a
# changed type, size or signature of an exported function, a function
# added or removed, a changed soname or NEEDED entry.  The change may be
# deliberate: then the version changes as docs/releasing.md's policy says and
# `make abi-baseline` (--update) writes the new dump.
# --mutant proves the check itself: LIBRARY is ignored, and a copy of
# SOURCE (the source tree) whose gluSphere takes a double radius, built by
# CXX with -g in WORK, must fail it with abidiff's report of that change.
# Exits 77 (skipped) where libabigail's tools are not installed.
set -u
baseline=$1 headers=$2 lib=$3
for tool in abidw abidiff; do
    command -v $tool >/dev/null || { echo "skipped: no $tool (Debian's abigail-tools)"; exit 77; }
done
# No paths or line numbers: the dump is the same from any build directory.
dump() { abidw --no-corpus-path --no-comp-dir-path --no-show-locs --headers-dir "$headers" --drop-private-types "$@"; }

if [ "${4:-}" = --update ]; then
    dump "$lib" >"$baseline.tmp" && mv "$baseline.tmp" "$baseline" || { rm -f "$baseline.tmp"; exit 1; }
    echo "wrote $baseline" >&2
    exit 0
fi
if [ "${4:-}" = --mutant ]; then
    cxx=$5 src=$6 work=$7
    rm -rf "$work" && mkdir -p "$work/src" "$work/GL" || exit 1
    sed 's/^void gluSphere(GLUquadricObj \*, float radius/void gluSphere(GLUquadricObj *, double radius/' \
        "$src/src/glu.cpp" >"$work/src/glu.cpp" &&
        sed 's/^void gluSphere(GLUquadricObj \*qobj, float radius/void gluSphere(GLUquadricObj *qobj, double radius/' \
        "$src/include/GL/glu.h" >"$work/GL/glu.h" && cp "$src/include/GL/glu_compat.h" "$work/GL/" &&
        cp "$src"/src/*.h "$work/src/" || exit 1
    ! cmp -s "$src/src/glu.cpp" "$work/src/glu.cpp" && ! cmp -s "$src/include/GL/glu.h" "$work/GL/glu.h" ||
        { echo "FAIL: gluSphere's definition or declaration is not where the mutant expects it"; exit 1; }
    "$cxx" -g -O2 -fPIC -shared -I"$work" -o "$work/libsoftglu.so.1" "$work/src/glu.cpp" \
        -Wl,-soname,libsoftglu.so.1 -Wl,--version-script="$src/src/softglu.map" -nodefaultlibs \
        -Wl,--no-as-needed -lm -lc -lgcc || exit 1
    out=$(sh "$0" "$baseline" "$work/GL" "$work/libsoftglu.so.1")
    case $out in
        *"parameter 2 of type 'float' changed"*"type size changed from 32 to 64"*)
            echo "abi baseline check ok: a double radius for gluSphere fails it"; exit 0 ;;
        *) echo "$out"; echo "FAIL: a double radius for gluSphere does not fail the ABI check"; exit 1 ;;
    esac
fi
[ -f "$baseline" ] || { echo "FAIL: no baseline $baseline (make abi-baseline writes it)"; exit 1; }
report=$(abidiff --headers-dir2 "$headers" --drop-private-types --no-show-locs "$baseline" "$lib" 2>&1)
status=$?
if [ $status -ne 0 ]; then
    echo "$report"
    echo "FAIL: libsoftglu's ABI differs from $baseline (abidiff exit status $status)"
    exit 1
fi
echo "abi baseline ok: $(basename "$lib") as in $(basename "$baseline")"
