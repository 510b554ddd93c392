#!/bin/sh
# SPDX-License-Identifier: MIT
# check_consumer.sh PREFIX LIBDIR VERSION SOURCE WORK CMAKE CC PKG_CONFIG READELF TOOLCHAIN [EMULATOR...]
# Builds programs against a softglu installed under PREFIX (its library in
# PREFIX/LIBDIR) the ways a user would, and runs them (under EMULATOR when
# given; TOOLCHAIN is a cross build's CMake toolchain file, or empty):
#   - pkg-config: softglu's version is VERSION, and examples/sphere.c builds
#     with softglu's flags both after and before -I/usr/include;
#   - pkg-config --static: sphere.c linked with libsoftglu.a;
#   - CMake: tests/build/consumer, find_package(softglu VERSION EXACT), with
#     softglu::softglu linked before and after OpenGL::GL, and with
#     softglu::static;
#   - softglu-compat: a legacy source builds warning-free with its flags.
# Each time the compiler's list of included files must hold softglu's
# GL/glu.h and not the system's /usr/include/GL/glu.h, which this machine
# has.  With PREFIX /usr, pkg-config and CMake search where they do by
# default, as for the installed Debian packages.
set -u
prefix=$1 libdir=$2 version=$3 src=$4 work=$5 cmake=$6 cc=$7 pkgconfig=$8 readelf=$9 toolchain=${10}
shift 10
fail=0
. "$(dirname "$0")/lib.sh"
rm -rf "$work" && mkdir -p "$work" || exit 1

ours=$(readlink -f "$prefix/include/softglu/GL/glu.h")
[ -f "$ours" ] || { echo "FAIL: no $prefix/include/softglu/GL/glu.h"; exit 1; }

# DEPS (make-style dependency lists) hold softglu's GL/glu.h and no other.
check_header() {
    what=$1 deps=$2
    found=0
    for f in $(echo "$deps" | tr ' \\' '\n\n' | grep '/GL/glu\.h$'); do
        if [ "$(readlink -f "$f")" = "$ours" ]; then
            found=1
        else
            bad "$what includes $f, not softglu's $ours"
        fi
    done
    [ $found -eq 1 ] || bad "$what does not include softglu's GL/glu.h"
}

# A consumer needs our library (or, linked with libsoftglu.a, holds it), and
# neither another GL utility library nor the C++ runtime.
check_needed() {
    needed=$("$readelf" -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | tr '\n' ' ')
    case "$1" in
        *static*) case "$needed" in *libsoftglu*) bad "$1, linked statically, needs $needed" ;; esac ;;
        *) case " $needed" in *" libsoftglu.so.1 "*) ;; *) bad "$1 does not need libsoftglu.so.1: $needed" ;; esac ;;
    esac
    case "$needed" in *libGLU*) bad "$1 needs another GLU: $needed" ;; esac
    case "$needed" in *libstdc++*) bad "$1 needs the C++ runtime: $needed" ;; esac
}

run() {
    exe=$1
    shift
    check_needed "$exe"
    "$@" "$exe" >"$exe.out" 2>&1 || { cat "$exe.out"; bad "$exe failed"; }
}

if [ "$prefix" = /usr ]; then
    pc() { "$pkgconfig" "$@"; }
    cmake_find=
else
    # Unpacked packages name prefix=/usr: PREFIX is then that /usr inside a
    # sysroot, which pkg-config puts in front of every path.
    named=$(sed -n 's/^prefix=//p' "$prefix/$libdir/pkgconfig/softglu.pc")
    sysroot=
    if [ "$named" != "$prefix" ]; then
        sysroot=${prefix%"$named"}
        [ "$sysroot$named" = "$prefix" ] || { echo "FAIL: softglu.pc names prefix=$named, not $prefix"; exit 1; }
    fi
    pc() { PKG_CONFIG_LIBDIR="$prefix/$libdir/pkgconfig" PKG_CONFIG_SYSROOT_DIR=$sysroot "$pkgconfig" "$@"; }
    cmake_find="-Dsoftglu_DIR=$prefix/$libdir/cmake/softglu"
fi

# pkg-config.
got=$(pc --modversion softglu) || bad "pkg-config knows no softglu"
[ "$got" = "$version" ] || bad "pkg-config's softglu is version '$got', expected $version"
flags=$(pc --cflags softglu) && libs=$(pc --libs softglu) || bad "pkg-config softglu fails"
echo "pkg-config softglu: $flags $libs"
case " $libs " in *" -lGL "*) bad "pkg-config adds a GL library" ;; esac
sphere=$src/examples/sphere.c
n=0
for order in "$flags -I/usr/include" "-I/usr/include $flags"; do
    n=$((n + 1))
    # shellcheck disable=SC2086
    deps=$("$cc" -M $order "$sphere") || bad "no dependencies of sphere.c with $order"
    check_header "sphere.c with $order" "$deps"
    # shellcheck disable=SC2086
    if "$cc" -o "$work/sphere-pc$n" $order "$sphere" $libs -rdynamic \
            -Wl,-rpath,"$(pc --variable=libdir softglu)"; then
        run "$work/sphere-pc$n" "$@"
    else
        bad "sphere.c does not build with $order"
    fi
done

# libsoftglu.a, through pkg-config --static, in a static program as a
# board with a static toolchain builds it (sphere.c brings its own GL).
static=$(pc --static --libs softglu) || bad "pkg-config --static softglu fails"
case " $static " in *" -lm "*) ;; *) bad "pkg-config --static softglu lacks -lm: $static" ;; esac
# shellcheck disable=SC2086
if "$cc" -static -o "$work/sphere-static" $flags "$sphere" $static; then
    run "$work/sphere-static" "$@"
else
    bad "sphere.c does not build with libsoftglu.a"
fi

# The compatibility layer's switch: a legacy source builds warning-free with
# softglu-compat's flags.
compat=$(pc --cflags --libs softglu-compat) || bad "pkg-config knows no softglu-compat"
echo "pkg-config softglu-compat: $compat"
for want in -DSOFTGLU_COMPAT -lsoftglu-compat -lsoftglu -lm; do
    case " $compat " in *" $want "*) ;; *) bad "softglu-compat's flags lack $want" ;; esac
done
legacy=$src/tests/unit/compat_legacy.c
# shellcheck disable=SC2046
deps=$("$cc" -M $(pc --cflags softglu-compat) "$legacy") || bad "no dependencies of $legacy"
check_header "the legacy source" "$deps"
case "$deps" in *softglu/GL/glu_compat.h*) ;; *) bad "softglu's GL/glu_compat.h is not used" ;; esac
# shellcheck disable=SC2046
"$cc" -c -o "$work/legacy.o" -Wall -Wextra -pedantic -Werror $(pc --cflags softglu-compat) "$legacy" ||
    bad "$legacy does not compile with softglu-compat's flags"

# CMake.
# shellcheck disable=SC2086
if "$cmake" -S "$src/tests/build/consumer" -B "$work/cmake" -DSPHERE_SOURCE="$sphere" \
        -DSOFTGLU_VERSION="$version" $cmake_find ${toolchain:+"-DCMAKE_TOOLCHAIN_FILE=$toolchain"} \
        >"$work/cmake.log" 2>&1 &&
   "$cmake" --build "$work/cmake" >>"$work/cmake.log" 2>&1; then
    for exe in "$work"/cmake/sphere_*; do
        [ -f "$exe" ] || continue
        target=$(basename "$exe")
        check_header "CMake's $target" "$(find "$work/cmake/CMakeFiles/$target.dir" -name '*.o.d' -exec cat {} +)"
        run "$exe" "$@"
    done
    [ -n "$toolchain" ] || [ -f "$work/cmake/sphere_gl_first" ] || bad "CMake found no OpenGL::GL"
else
    cat "$work/cmake.log"; bad "the CMake consumer does not build"
fi

[ $fail -eq 0 ] && echo "consumers ok: $prefix, pkg-config and CMake, softglu's GL/glu.h in every include order"
exit $fail
