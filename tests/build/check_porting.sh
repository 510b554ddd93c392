#!/bin/sh
# SPDX-License-Identifier: MIT
# check_porting.sh PREFIX SOURCE WORK CMAKE PKG_CONFIG READELF LEGACY_TESTS
# The porting environment of a softglu installed under PREFIX: after
# sourcing PREFIX/share/softglu/porting.sh, examples/legacy/pick.c and the
# tessellator's classic programs, contours.c (a textbook winding-rule
# program) and extrude.c (a GLUT-style extruded glyph), and trimmed.c (a
# textbook trimmed NURBS surface), build unchanged
# through their classic build files (examples/legacy/classic):
#   - its Makefile with -lGLU, after its configure script's link test for
#     gluPerspective in -lGLU, and again with the system's library directory
#     given by -L ahead of everything;
#   - its CMakeLists.txt, with OpenGL::GLU and with OPENGL_glu_LIBRARY;
#   - pkg-config glu, with the system's compiler and nothing else of the
#     environment.
# Each binary needs libsoftglu.so.1 and no libGLU; no compile read the
# system's /usr/include/GL/glu.h; each draws what it should
# (LEGACY_TESTS's LegacyProgram.Pick*, Contours*, Extrude* and Trimmed* tests look at
# the pictures).
set -u
prefix=$1 src=$2 work=$3 cmake=$4 pkgconfig=$5 readelf=$6 legacy=$7
fail=0
. "$(dirname "$0")/lib.sh"
rm -rf "$work" && mkdir -p "$work" || exit 1
multiarch=$(cc -print-multiarch)
realcc=$(command -v cc)

programs="pick contours extrude trimmed"

# The classic build files and the programs, as a user's copy of them.
tree() {
    mkdir -p "$work/$1" && (cd "$src/examples/legacy" && cp pick.c contours.c extrude.c trimmed.c offscreen.[ch] "$work/$1/") &&
        cp -R "$src/examples/legacy/classic" "$work/$1/classic"
}

# Every build below runs in a shell that sourced porting.sh; the compiler
# notes each header it reads in $work/deps.txt.
ported() {
    (. "$prefix/share/softglu/porting.sh" && SUNPRO_DEPENDENCIES="$work/deps.txt pick" && export SUNPRO_DEPENDENCIES &&
        "$@")
}

# Makefile and configure, then the Makefile with the system's -L first.
tree make && ported sh -c 'cd "$1/make/classic" && ./configure && make' sh "$work" >"$work/make.log" 2>&1 ||
    { cat "$work/make.log"; bad "configure and make do not build $programs"; }
grep -q "gluPerspective in -lGLU... yes" "$work/make.log" || bad "configure's link test did not find gluPerspective in -lGLU"
tree trap && ported sh -c 'cd "$1/trap/classic" && make LDFLAGS="-L/usr/lib/$2"' sh "$work" "$multiarch" \
    >"$work/trap.log" 2>&1 || { cat "$work/trap.log"; bad "make with -L/usr/lib/$multiarch does not build $programs"; }

# CMake.
tree cmake && ported sh -c 'cmake -S "$1/cmake/classic" -B "$1/cmake/build" && cmake --build "$1/cmake/build"' \
    sh "$work" >"$work/cmake.log" 2>&1 || { cat "$work/cmake.log"; bad "CMake does not build $programs"; }

# pkg-config glu, with the system's compiler and no other help.
tree pc
if flags=$(ported "$pkgconfig" --print-errors --cflags --libs glu); then
    echo "pkg-config glu: $flags"
    for p in $programs; do
        # shellcheck disable=SC2086
        ported env -u CPATH -u LIBRARY_PATH "$realcc" -o "$work/pc/$p" -I"$work/pc" "$work/pc/$p.c" \
            "$work/pc/offscreen.c" -lOSMesa -lpng $flags -lm -Wl,-rpath,"$prefix/lib" \
            -Wl,-rpath,"$prefix/lib/$multiarch" || bad "pkg-config glu does not build $p"
    done
else
    bad "pkg-config knows no glu in the porting environment"
fi

headers=$(tr ' \\' '\n\n' <"$work/deps.txt" | grep '/GL/glu\.h$' | sort -u)
[ -n "$headers" ] || bad "nothing compiled included GL/glu.h"
for h in $headers; do
    case $(readlink -f "$h") in
        "$(readlink -f "$prefix")"/*) ;;
        *) bad "a compile read $h, not softglu's" ;;
    esac
done

# Each binary, under its program's name in a directory of its own, drawn
# and looked at (pick_vars is pick, built through OPENGL_glu_LIBRARY).
exes=cmake/build/pick_vars
for dir in make/classic trap/classic cmake/build pc; do
    for p in $programs; do
        exes="$exes $dir/$p"
    done
done
for exe in $exes; do
    if [ ! -f "$work/$exe" ]; then
        bad "no $exe"
        continue
    fi
    softglu_not_glu "$work/$exe" "$exe"
    p=$(basename "$exe" _vars)
    dir=$work/run/$(echo "$exe" | tr / _)
    mkdir -p "$dir" && cp "$work/$exe" "$dir/$p" || exit 1
    tests=LegacyProgram.$(echo "$p" | cut -c1 | tr a-z A-Z)$(echo "$p" | cut -c2-)*
    SOFTGLU_LEGACY_DIR=$dir "$legacy" --gtest_filter="$tests" >"$dir.log" 2>&1 ||
        { cat "$dir.log"; bad "$exe draws the wrong picture"; }
    grep -q 'PASSED  \] [1-9]' "$dir.log" || bad "no test ($tests) looked at $exe"
done

[ $fail -eq 0 ] && echo "porting ok: $programs built by make (also behind -L/usr/lib/$multiarch), configure, CMake and pkg-config glu"
exit $fail
