#!/bin/sh
# SPDX-License-Identifier: MIT
# check_abi.sh LIBRARY READELF NM: the library exports exactly the seven
# public functions, records only libc.so.6 (and libm.so.6) as NEEDED, and
# leaves its GL entry points undefined for the process's GL to satisfy.
set -u
lib=$1 readelf=$2 nm=$3
fail=0
bad() { echo "FAIL: $*"; fail=1; }

exports=$("$nm" -D --defined-only "$lib" | awk '$2 ~ /^[TWDBRV]$/ {print $3}' | sed 's/@.*//' | sort | tr '\n' ' ')
want="drawTorus gluCylinder gluDisk gluNewQuadric gluPerspective gluQuadricDrawStyle gluSphere "
[ "$exports" = "$want" ] || bad "exported symbols are '$exports', expected '$want'"

needed=$("$readelf" -d "$lib" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort | tr '\n' ' ')
case "$needed" in
    "libc.so.6 "|"libc.so.6 libm.so.6 ") ;;
    *) bad "NEEDED is '$needed', expected libc.so.6 and at most libm.so.6" ;;
esac

soname=$("$readelf" -d "$lib" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$soname" = "libsoftglu.so.1" ] || bad "SONAME is '$soname'"

undefined=$("$nm" -D --undefined-only "$lib" | awk '{print $NF}' | grep '^gl' | sort | tr '\n' ' ')
want_gl="glBegin glEnd glFrustum glNormal3f glTexCoord2f glVertex2f glVertex3f "
[ "$undefined" = "$want_gl" ] || bad "undefined GL entry points are '$undefined', expected '$want_gl'"

# No C++ runtime or unwinding machinery pulled in.
if "$nm" -D "$lib" | grep -E '__cxa_(throw|allocate|begin_catch)|__gxx_personality|_Unwind_|_ZTI|operator new|_Znw' >/dev/null; then
    bad "C++ runtime symbols referenced: $("$nm" -D "$lib" | grep -E '__cxa_(throw|allocate|begin_catch)|__gxx_personality|_Unwind_|_ZTI|_Znw')"
fi

[ $fail -eq 0 ] && echo "ABI ok: exports [$exports] NEEDED [$needed]"
exit $fail
