#!/bin/sh
# check_install.sh BUILD WORK SOURCE LIBDIR CMAKE CC PKG_CONFIG READELF TOOLCHAIN [EMULATOR...]
# Installs the build into WORK/stage and builds the example consumer against
# that tree twice, through CMake's find_package(softglu) and through
# pkg-config, then runs both (under EMULATOR when given).  TOOLCHAIN is the
# CMake toolchain file of a cross build, or empty.
#
# The compatibility layer: a legacy source compiles with pkg-config's
# softglu-compat and finds only the staged headers.  Where
# SOFTGLU_LEGACY_TESTS names the legacy test program (host builds with
# OSMesa), the legacy examples are built both ways too and their pictures
# looked at by its LegacyProgram tests.
set -u
build=$1 work=$2 src=$3 libdir=$4 cmake=$5 cc=$6 pkgconfig=$7 readelf=$8 toolchain=$9
shift 9
fail=0
bad() { echo "FAIL: $*"; fail=1; }
stage=$work/stage

rm -rf "$work"
"$cmake" --install "$build" --prefix "$stage" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

for f in "$libdir/libsoftglu.so.1.0.0" include/GL/glu.h "$libdir/pkgconfig/softglu.pc" \
         "$libdir/cmake/softglu/softgluConfig.cmake" "$libdir/libsoftglu-compat.a" \
         include/GL/glu_compat.h "$libdir/pkgconfig/softglu-compat.pc"; do
    [ -f "$stage/$f" ] || bad "$f is not installed"
done
[ "$(readlink "$stage/$libdir/libsoftglu.so.1")" = libsoftglu.so.1.0.0 ] || bad "libsoftglu.so.1 link"
[ "$(readlink "$stage/$libdir/libsoftglu.so")" = libsoftglu.so.1 ] || bad "libsoftglu.so link"

# A consumer must need our library, and neither another GL utility library
# nor the C++ runtime.
check_needed() {
    needed=$("$readelf" -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | tr '\n' ' ')
    case " $needed" in *" libsoftglu.so.1 "*) ;; *) bad "$1 does not need libsoftglu.so.1: $needed" ;; esac
    case "$needed" in *libGLU*) bad "$1 needs another GLU: $needed" ;; esac
    case "$needed" in *libstdc++*) bad "$1 needs the C++ runtime: $needed" ;; esac
}

# Runs a consumer (under the emulator's words, if any).
run() {
    exe=$1
    shift
    check_needed "$exe"
    "$@" "$exe" || bad "$exe failed"
}

# CMake: find_package(softglu) through softglu_DIR, which works for cross
# builds too (their find root path would hide CMAKE_PREFIX_PATH).
if "$cmake" -S "$src/examples" -B "$work/cmake" -Dsoftglu_DIR="$stage/$libdir/cmake/softglu" \
        ${toolchain:+"-DCMAKE_TOOLCHAIN_FILE=$toolchain"} >"$work/cmake.log" 2>&1 &&
   "$cmake" --build "$work/cmake" >>"$work/cmake.log" 2>&1; then
    run "$work/cmake/sphere" "$@"
else
    cat "$work/cmake.log"; bad "CMake consumer does not build"
fi

# pkg-config, looking at the staged tree only.
pc() { PKG_CONFIG_LIBDIR="$stage/$libdir/pkgconfig" "$pkgconfig" "$@"; }
flags=$(pc --cflags --libs softglu) || bad "pkg-config knows no softglu"
echo "pkg-config --cflags --libs softglu: $flags"
case "$flags" in *-lGL\ *|*-lGL) bad "pkg-config adds a GL library" ;; esac
# shellcheck disable=SC2086
if "$cc" -o "$work/sphere-pc" "$src/examples/sphere.c" $flags -rdynamic \
        -Wl,-rpath,"$(pc --variable=libdir softglu)"; then
    run "$work/sphere-pc" "$@"
else
    bad "pkg-config consumer does not build"
fi

# The compatibility layer's switch: a legacy source builds warning-free with
# softglu-compat's flags, against the staged headers alone.
compat=$(pc --cflags --libs softglu-compat) || bad "pkg-config knows no softglu-compat"
echo "pkg-config --cflags --libs softglu-compat: $compat"
for want in -DSOFTGLU_COMPAT -lsoftglu-compat -lsoftglu -lm; do
    case " $compat " in *" $want "*) ;; *) bad "softglu-compat's flags lack $want" ;; esac
done
legacy=$src/tests/compat_legacy.c
# shellcheck disable=SC2046
if deps=$("$cc" -M $(pc --cflags softglu-compat) "$legacy"); then
    case "$deps" in *include/GL/glu_compat.h*) ;; *) bad "the staged GL/glu_compat.h is not used" ;; esac
    case "$deps" in */usr/include/GL/glu*) bad "a system GLU header is used: $deps" ;; esac
else
    bad "$legacy: no dependencies with softglu-compat's flags"
fi
# shellcheck disable=SC2046
"$cc" -c -o "$work/legacy.o" -Wall -Wextra -pedantic -Werror $(pc --cflags softglu-compat) "$legacy" ||
    bad "$legacy does not compile with softglu-compat's flags"

# The legacy examples, through CMake's softglu::compat and through
# pkg-config as the README shows, drawn and looked at.
if [ -n "${SOFTGLU_LEGACY_TESTS:-}" ]; then
    examples=$src/examples/legacy
    if ! { "$cmake" -S "$examples" -B "$work/legacy-cmake" -Dsoftglu_DIR="$stage/$libdir/cmake/softglu" &&
           "$cmake" --build "$work/legacy-cmake"; } >"$work/legacy-cmake.log" 2>&1; then
        cat "$work/legacy-cmake.log"; bad "CMake does not build the legacy examples"
    fi
    mkdir -p "$work/legacy-pc"
    for p in solar robot hud; do
        # shellcheck disable=SC2046
        "$cc" -o "$work/legacy-pc/$p" "$examples/$p.c" "$examples/offscreen.c" \
            $(pc --cflags --libs softglu-compat) -lOSMesa -lpng \
            -Wl,-rpath,"$(pc --variable=libdir softglu)" || bad "pkg-config does not build $p"
    done
    for build in legacy-cmake legacy-pc; do
        for p in solar robot hud; do
            [ -f "$work/$build/$p" ] && check_needed "$work/$build/$p"
        done
        SOFTGLU_LEGACY_DIR=$work/$build "$SOFTGLU_LEGACY_TESTS" --gtest_filter='LegacyProgram.*' \
            >"$work/$build.log" 2>&1 || { cat "$work/$build.log"; bad "the $build pictures are wrong"; }
    done
fi

[ $fail -eq 0 ] && echo "install ok: both consumers built and ran"
exit $fail
