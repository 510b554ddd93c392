#!/bin/sh
# SPDX-License-Identifier: MIT
# check_compat.sh ARCHIVE NM: the compatibility archive defines exactly the
# calls listed below and needs nothing but GL entry points, libsoftglu's
# gluPerspective (the switch's sends the library's frustum), libm's sin,
# cos, tan and sqrt, libc's malloc, realloc and free (the quadric handles
# and their registry, the mipmaps' working copy, the tessellator's
# records, the NURBS objects' maps and trim loops), its pthread mutex (the registry's lock), pthread_once and a
# weak dlsym (finding softglu-trace's interposer once:
# src/compat/traced.h), and what the compiler calls by itself (libc's
# memset and memcpy, or their checked forms under _FORTIFY_SOURCE, as
# Debian's build flags have it; the stack protector's
# guard and failure handler, the static libgcc's soft-float and 64-bit
# division routines on 32-bit targets, a sanitizer's hooks and the linker's
# _GLOBAL_OFFSET_TABLE_, or .TOC. on POWER): no C++ runtime, so a C program
# links it with cc and records no new NEEDED entry.  CHECKING (the sanitizer
# and fuzz builds, which check the tessellator's invariants) allows what a
# broken invariant needs to say so and stop: fprintf, stderr and abort.
set -u
archive=$1 nm=$2 checking=${3:-}
fail=0
. "$(dirname "$0")/lib.sh"

symbols=$("$nm" "$archive") || { echo "FAIL: $nm cannot read $archive"; exit 1; }

# i386's position-independent code may define the compiler's hidden
# __x86.get_pc_thunk helpers, one copy per object.
defined=$(echo "$symbols" | awk '$2 ~ /^[TDBRVW]$/ && $3 !~ /^__x86\.get_pc_thunk\./ {print $3}' | sort | tr '\n' ' ')
want="gluBeginCurve gluBeginPolygon gluBeginSurface gluBeginTrim gluBuild1DMipmapLevels gluBuild1DMipmaps gluBuild2DMipmapLevels gluBuild2DMipmaps gluBuild3DMipmapLevels gluBuild3DMipmaps gluCheckExtension gluDeleteNurbsRenderer gluDeleteQuadric gluDeleteTess gluEndCurve gluEndPolygon gluEndSurface gluEndTrim gluErrorString gluGetNurbsProperty gluGetString gluGetTessProperty gluLoadSamplingMatrices gluLookAt gluNewNurbsRenderer gluNewTess gluNextContour gluNurbsCallback gluNurbsCallbackData gluNurbsCallbackDataEXT gluNurbsCurve gluNurbsProperty gluNurbsSurface gluOrtho2D gluPartialDisk gluPickMatrix gluProject gluPwlCurve gluQuadricCallback gluQuadricNormals gluQuadricOrientation gluQuadricTexture gluScaleImage gluTessBeginContour gluTessBeginPolygon gluTessCallback gluTessEndContour gluTessEndPolygon gluTessNormal gluTessProperty gluTessVertex gluUnProject gluUnProject4 softglu_compat_gluCylinder softglu_compat_gluDisk softglu_compat_gluNewQuadric softglu_compat_gluPerspective softglu_compat_gluQuadricDrawStyle softglu_compat_gluSphere softglu_compat_trace_hooks "
[ "$defined" = "$want" ] || bad "defined symbols are '$defined', expected '$want'"

# What one member needs of another is no need of the archive's.
undefined=$(echo "$symbols" | awk '$2 ~ /^[TDBRVW]$/ {mine[$3] = 1} $1 == "U" {need[$2] = 1}
    END {for (n in need) if (!(n in mine)) print n}' | sort)
[ -z "$checking" ] || undefined=$(echo "$undefined" | grep -Ev '^(fprintf|stderr|abort)$')
others=$(echo "$undefined" | grep -Ev '^(gl[A-Z][A-Za-z0-9]*|gluPerspective|sin|cos|sincos|tan|sqrt|malloc|realloc|free|pthread_mutex_(lock|unlock)|pthread_once|memset|memcpy|__mem(set|cpy)_chk|__stack_chk_(fail|fail_local|guard)|__aeabi_[a-z0-9]+|__u?(div|mod)[dt]i3|__(asan|ubsan|tsan|sanitizer)_.*|_GLOBAL_OFFSET_TABLE_|\.TOC\.)$' | tr '\n' ' ')
[ -z "$others" ] || bad "needs more than GL, gluPerspective, libm and compiler helpers: $others"

[ $fail -eq 0 ] && echo "compat archive ok: [$defined] needing [$(echo "$undefined" | tr '\n' ' ')]"
exit $fail
