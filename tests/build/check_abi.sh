#!/bin/sh
# SPDX-License-Identifier: MIT
# check_abi.sh LIBRARY READELF NM [ARCHIVE [INTERPOSER]]: the library exports
# exactly the seven public functions, under the version SOFTGLU_1, records only libc.so.6 (and libm.so.6)
# as NEEDED, and leaves its GL entry points undefined for the process's GL
# to satisfy.  ARCHIVE, the static libsoftglu.a, defines the same seven
# global symbols and no other, and needs the same GL entry points.
# INTERPOSER, softglu-trace's libsoftglu-trace.so, exports the seven, every
# GL call softglu sends and the compatibility layer's way in, no more.  The
# names come from src/trace/calls.h (calls.sh), as does src/softglu.map,
# which must list the seven.
set -u
lib=$1 readelf=$2 nm=$3 archive=${4:-} interposer=${5:-}
fail=0
. "$(dirname "$0")/lib.sh"
here=$(dirname "$0")
calls() { sh "$here/calls.sh" "$@" | tr '\n' ' '; }
want=$(calls LIBRARY)
want_gl=$(calls LIBRARY_GL)

map=$(sed -n 's/^ *\([A-Za-z0-9_]*\);$/\1/p' "$here/../../src/softglu.map" | sort | tr '\n' ' ')
[ "$map" = "$want" ] || bad "src/softglu.map exports '$map', src/trace/calls.h lists '$want'"

exports=$(exported "$lib")
[ "$exports" = "$want" ] || bad "exported symbols are '$exports', expected '$want'"
# Each under SOFTGLU_1, so that a program linked against libsoftglu binds
# to it alone, whatever other GL utility library the process loads.
unversioned=$("$nm" -D --defined-only "$lib" | awk '$2 ~ /^[TWDBRV]$/ && $3 !~ /@@SOFTGLU_1$/ {print $3}' | tr '\n' ' ')
[ -z "$unversioned" ] || bad "exports not under the version SOFTGLU_1: $unversioned"

libc_only "$lib" "$(basename "$lib")"

soname=$("$readelf" -d "$lib" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$soname" = "libsoftglu.so.1" ] || bad "SONAME is '$soname'"

undefined=$("$nm" -D --undefined-only "$lib" | awk '{print $NF}' | grep '^gl' | sort | tr '\n' ' ')
[ "$undefined" = "$want_gl" ] || bad "undefined GL entry points are '$undefined', expected '$want_gl'"

# No C++ runtime or unwinding machinery pulled in.
! cxx_runtime "$lib" >/dev/null || bad "C++ runtime symbols referenced: $(cxx_runtime "$lib")"

if [ -n "$archive" ]; then
    # (i386's position-independent code may define the compiler's hidden
    # __x86.get_pc_thunk helpers.)
    globals=$("$nm" "$archive" | awk '$2 ~ /^[TWDBRV]$/ && $3 !~ /^__x86\.get_pc_thunk\./ {print $3}' | sort | tr '\n' ' ')
    [ "$globals" = "$want" ] || bad "$archive defines '$globals', expected '$want'"
    gl=$("$nm" "$archive" | awk '$1 == "U" {print $2}' | grep '^gl' | sort -u | tr '\n' ' ')
    [ "$gl" = "$want_gl" ] || bad "$archive needs the GL entry points '$gl', expected '$want_gl'"
fi

if [ -n "$interposer" ]; then
    got=$(exported "$interposer")
    expected=$( (sh "$here/calls.sh" LIBRARY LIBRARY_GL COMPAT_GL; printf 'softglu_trace_%s\n' add enter leave) |
        sort | tr '\n' ' ')
    [ "$got" = "$expected" ] || bad "$interposer exports '$got', expected '$expected'"
fi

[ $fail -eq 0 ] && echo "ABI ok: exports [$exports] NEEDED [$(needed "$lib")]"
exit $fail
