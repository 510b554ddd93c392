#!/bin/sh
# check_install.sh BUILD WORK SOURCE LIBDIR CMAKE CC PKG_CONFIG READELF TOOLCHAIN [EMULATOR...]
# Installs the build into WORK/stage and builds the example consumer against
# that tree twice, through CMake's find_package(softglu) and through
# pkg-config, then runs both (under EMULATOR when given).  TOOLCHAIN is the
# CMake toolchain file of a cross build, or empty.
set -u
build=$1 work=$2 src=$3 libdir=$4 cmake=$5 cc=$6 pkgconfig=$7 readelf=$8 toolchain=$9
shift 9
fail=0
bad() { echo "FAIL: $*"; fail=1; }
stage=$work/stage

rm -rf "$work"
"$cmake" --install "$build" --prefix "$stage" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

for f in "$libdir/libsoftglu.so.1.0.0" include/GL/glu.h "$libdir/pkgconfig/softglu.pc" \
         "$libdir/cmake/softglu/softgluConfig.cmake"; do
    [ -f "$stage/$f" ] || bad "$f is not installed"
done
[ "$(readlink "$stage/$libdir/libsoftglu.so.1")" = libsoftglu.so.1.0.0 ] || bad "libsoftglu.so.1 link"
[ "$(readlink "$stage/$libdir/libsoftglu.so")" = libsoftglu.so.1 ] || bad "libsoftglu.so link"

# Runs a consumer; it must need our library and no other GL utility library.
run() {
    exe=$1
    shift
    needed=$("$readelf" -d "$exe" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | tr '\n' ' ')
    case " $needed" in *" libsoftglu.so.1 "*) ;; *) bad "$exe does not need libsoftglu.so.1: $needed" ;; esac
    case "$needed" in *libGLU*) bad "$exe needs another GLU: $needed" ;; esac
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

[ $fail -eq 0 ] && echo "install ok: both consumers built and ran"
exit $fail
