#!/bin/sh
# SPDX-License-Identifier: MIT
# check_plain.sh OUTCOME CXX SOURCE WORK CORPUS REFERENCE [EMULATOR...]
# Builds SOURCE/src/glu.cpp the way a project that drops it into its own
# build would: `CXX -O2 -fPIC -shared`, none of softglu's flags.  OUTCOME
# "match": the library builds and CORPUS replays REFERENCE with it, bit for
# bit.  OUTCOME "refuse": the compiler stops at softglu's own #error, which
# says why (x87 arithmetic on 32-bit x86).
set -u
outcome=$1 cxx=$2 src=$3 work=$4 corpus=$5 reference=$6
shift 6
lib=$work/libsoftglu.so.1

rm -rf "$work" && mkdir -p "$work" || exit 1
if ! "$cxx" -O2 -fPIC -shared -I"$src/include" -Wl,-soname,libsoftglu.so.1 -o "$lib" \
        "$src/src/glu.cpp" 2>"$work/compile.log"; then
    if [ "$outcome" = refuse ] && grep -q '#error "softglu: ' "$work/compile.log"; then
        echo "plain build refused, as it must be here:"
        grep -m1 '#error' "$work/compile.log"
        exit 0
    fi
    cat "$work/compile.log"
    echo "FAIL: the plain build does not compile ($outcome expected)"
    exit 1
fi
if [ "$outcome" = refuse ]; then
    echo "FAIL: the plain build compiled; it must refuse with softglu's #error"
    exit 1
fi

# The plain library in place of the build's: found first through
# LD_LIBRARY_PATH (the test programs' RUNPATH yields to it), set for the
# target program only when it runs under an emulator.
if [ $# -gt 0 ]; then
    "$@" -E LD_LIBRARY_PATH="$work" "$corpus" replay "$reference" "$lib"
else
    LD_LIBRARY_PATH="$work" "$corpus" replay "$reference" "$lib"
fi
