#!/bin/sh
# SPDX-License-Identifier: MIT
# check_classic.sh SOURCE BUILD WORK CC READELF NM [TRACE]: the classic
# libGLU.so.1 (BUILD/classic) and how callers bind to it.
#   - It exports every call GL/glu.h and GL/glu_compat.h declare under
#     SOFTGLU_COMPAT, and nothing else, all under SOFTGLU_CLASSIC_1; its
#     soname is libGLU.so.1; it records only libc and libm, leaves its gl*
#     entry points undefined, binds its own calls to itself (SYMBOLIC) and
#     needs no C++ runtime.
#   - One process, the classic object loaded first: a caller linked
#     against libsoftglu still reaches libsoftglu (gluNewQuadric gives
#     NULL, gluSphere takes a float), a prebuilt caller of the classic
#     interface reaches the classic object (a handle, a double radius).
#   - A prebuilt program linked against another libGLU.so.1 (a stub that
#     aborts) draws its frame on softglu's through LD_LIBRARY_PATH, and
#     TRACE (softglu-trace) --run finds softglu's by itself and lists the
#     frame's calls.
# The programs are tests/build/classic/callers.c, built here with CC.
set -u
src=$1 build=$2 work=$3 cc=$4 readelf=$5 nm=$6 trace=${7:-}
classic=$build/classic
fail=0
. "$(dirname "$0")/lib.sh"
[ -f "$classic/libGLU.so.1" ] || { echo "FAIL: no $classic/libGLU.so.1"; exit 1; }
rm -rf "$work" && mkdir -p "$work" || exit 1

# The calls the headers declare under the switch, one line each.
declared=$(printf '#include <GL/glu.h>\n' | "$cc" -E -DSOFTGLU_COMPAT -I"$src/include" -x c - |
    grep -o '\bglu[A-Za-z0-9]*[ ]*(' | tr -d ' (' | sort -u | tr '\n' ' ')
[ -n "$declared" ] || bad "no call declared by GL/glu.h under SOFTGLU_COMPAT"
names=$(exported "$classic/libGLU.so.1")
[ "$names" = "$declared" ] || bad "libGLU.so.1 exports '$names', the headers declare '$declared'"
unversioned=$("$nm" -D --defined-only "$classic/libGLU.so.1" | awk '$2 ~ /^[TWDBRV]$/ && $3 !~ /@@SOFTGLU_CLASSIC_1$/ {print $3}' | tr '\n' ' ')
[ -z "$unversioned" ] || bad "exports not under SOFTGLU_CLASSIC_1: $unversioned"

dynamic=$("$readelf" -d "$classic/libGLU.so.1")
soname=$(echo "$dynamic" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$soname" = libGLU.so.1 ] || bad "the classic object's SONAME is '$soname'"
libc_only "$classic/libGLU.so.1" "the classic object"
echo "$dynamic" | grep -q '(SYMBOLIC)' || bad "the classic object is not linked -Bsymbolic"
! cxx_runtime "$classic/libGLU.so.1" >/dev/null || bad "the classic object needs the C++ runtime"
"$nm" -D --undefined-only "$classic/libGLU.so.1" | awk '{print $NF}' | grep -q '^glBegin$' ||
    bad "the classic object does not leave glBegin undefined"

# The roles of callers.c.
built=1
role() {
    out=$1 define=$2
    shift 2
    "$cc" -Wall -Wextra -Werror -fPIC -D"$define" -o "$work/$out" "$src/tests/build/classic/callers.c" "$@" \
        >"$work/$out.log" 2>&1 || { cat "$work/$out.log"; bad "cannot build $out"; built=0; }
}
role libfakegl.so GL -shared
role libGLU.so.1 STUB -shared -Wl,-soname,libGLU.so.1
ln -sf libGLU.so.1 "$work/libGLU.so"
role libnative.so NATIVE -shared -I"$src/include" -L"$build" -lsoftglu
role libprebuilt.so PREBUILT -shared -L"$work" -lGLU
role bind BIND -L"$work" -Wl,--no-as-needed -lnative -lprebuilt -lfakegl -Wl,-rpath-link,"$build"
role frame FRAME -L"$work" -Wl,--no-as-needed -lGLU -lfakegl
[ $built -eq 1 ] || exit 1
"$readelf" -V "$work/libnative.so" | grep -q 'Name: SOFTGLU_1' ||
    bad "a library linked against libsoftglu does not record SOFTGLU_1"

paths=$build:$work
LD_PRELOAD=$classic/libGLU.so.1 LD_LIBRARY_PATH=$classic:$paths "$work/bind" ||
    bad "with the classic object loaded first, a caller reached another's library"
LD_LIBRARY_PATH=$paths "$work/frame" 2>"$work/stub.log" &&
    bad "the prebuilt program ran on its stub libGLU.so.1, which should abort"
LD_LIBRARY_PATH=$classic:$paths "$work/frame" || bad "the prebuilt program did not draw on the classic object"

if [ -n "$trace" ]; then
    if LD_LIBRARY_PATH=$paths "$trace" --run -o "$work/frame.txt" -- "$work/frame" 2>"$work/trace.log"; then
        for call in 'gluNewQuadric() = non-null' 'gluPerspective(45, 1, 1, 10)' 'glFrustum(' \
            'gluSphere(non-null, 1.5, 8, 4)' 'glVertex3f(' 'gluDeleteQuadric(non-null)'; do
            grep -qF "$call" "$work/frame.txt" || bad "softglu-trace --run did not list $call"
        done
    else
        cat "$work/trace.log"
        bad "softglu-trace --run did not run the prebuilt program on the classic object"
    fi
fi

[ $fail -eq 0 ] && echo "classic ok: $(echo "$declared" | wc -w) calls, each caller bound to its own, a prebuilt program drawn${trace:+ and traced}"
exit $fail
