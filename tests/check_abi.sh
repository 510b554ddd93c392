#!/bin/sh
# SPDX-License-Identifier: MIT
# check_abi.sh LIBRARY READELF NM [ARCHIVE]: the library exports exactly the
# seven public functions, records only libc.so.6 (and libm.so.6) as NEEDED,
# and leaves its GL entry points undefined for the process's GL to satisfy.
# ARCHIVE, the static libsoftglu.a, defines the same seven global symbols
# and no other, and needs the same GL entry points.
set -u
lib=$1 readelf=$2 nm=$3 archive=${4:-}
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

if [ -n "$archive" ]; then
    # (i386's position-independent code may define the compiler's hidden
    # __x86.get_pc_thunk helpers.)
    globals=$("$nm" "$archive" | awk '$2 ~ /^[TWDBRV]$/ && $3 !~ /^__x86\.get_pc_thunk\./ {print $3}' | sort | tr '\n' ' ')
    [ "$globals" = "$want" ] || bad "$archive defines '$globals', expected '$want'"
    gl=$("$nm" "$archive" | awk '$1 == "U" {print $2}' | grep '^gl' | sort -u | tr '\n' ' ')
    [ "$gl" = "$want_gl" ] || bad "$archive needs the GL entry points '$gl', expected '$want_gl'"
fi

[ $fail -eq 0 ] && echo "ABI ok: exports [$exports] NEEDED [$needed]"
exit $fail
