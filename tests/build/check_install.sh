#!/bin/sh
# SPDX-License-Identifier: MIT
# check_install.sh BUILD WORK SOURCE LIBDIR VERSION CMAKE CC PKG_CONFIG READELF TOOLCHAIN [EMULATOR...]
# Installs the build into WORK/stage, checks the layout (the library named
# for VERSION, the headers in include/softglu, the man pages), and builds
# and runs consumers against that tree with check_consumer.sh (under
# EMULATOR when given; TOOLCHAIN is a cross build's toolchain file, or
# empty).
#
# The installed tools start from the tree alone, with a clean environment
# (env -i): from WORK/stage, and from a DESTDIR staging tree installed for
# another prefix, which stands for a tree moved away from where it was
# meant to live.  Their run paths must all be relative to $ORIGIN; with
# SOFTGLU_SKIP_INSTALL_RPATH set (CMAKE_SKIP_INSTALL_RPATH, as the Debian
# build configures), they must have none, and find the library through
# LD_LIBRARY_PATH alone.
#
# Where SOFTGLU_LEGACY_TESTS names the legacy test program (host builds with
# OSMesa), the legacy examples are built against the tree through CMake's
# softglu::compat and through pkg-config, and their pictures looked at by
# its LegacyProgram tests, and examples/legacy/pick.c is built through the
# porting environment (check_porting.sh).
set -u
build=$1 work=$2 src=$3 libdir=$4 version=$5 cmake=$6 cc=$7 pkgconfig=$8 readelf=$9 toolchain=${10}
shift 10
fail=0
. "$(dirname "$0")/lib.sh"
stage=$work/stage
major=${version%%.*}

rm -rf "$work"
"$cmake" --install "$build" --prefix "$stage" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

for f in "$libdir/libsoftglu.so.$version" include/softglu/GL/glu.h include/softglu/GL/glu_compat.h \
         "$libdir/pkgconfig/softglu.pc" "$libdir/pkgconfig/softglu-compat.pc" \
         "$libdir/cmake/softglu/softgluConfig.cmake" "$libdir/libsoftglu-compat.a" "$libdir/libsoftglu.a" \
         share/man/man3/gluSphere.3 share/man/man3/gluPartialDisk.3; do
    [ -f "$stage/$f" ] || bad "$f is not installed"
done
[ ! -e "$stage/include/GL" ] || bad "something is installed in include/GL, where the system's GL headers live"
[ "$(readlink "$stage/$libdir/libsoftglu.so.$major")" = "libsoftglu.so.$version" ] || bad "libsoftglu.so.$major link"
[ "$(readlink "$stage/$libdir/libsoftglu.so")" = "libsoftglu.so.$major" ] || bad "libsoftglu.so link"
[ "$(readlink "$stage/share/man/man3/gluDeleteQuadric.3")" = gluNewQuadric.3 ] || bad "gluDeleteQuadric.3 link"

# The tools, from this prefix and from a staging tree for another one.
DESTDIR=$work/destdir "$cmake" --install "$build" --prefix /opt/softglu >/dev/null ||
    bad "cmake --install with DESTDIR"
for tree in "$stage" "$work/destdir/opt/softglu"; do
    for tool in "$tree"/bin/*; do
        [ -f "$tool" ] || continue
        runpath=$("$readelf" -d "$tool" | sed -n 's/.*(R[UN]*PATH).*\[\(.*\)\]/\1/p')
        if [ -n "${SOFTGLU_SKIP_INSTALL_RPATH:-}" ]; then
            [ -z "$runpath" ] || bad "$tool has the run path '$runpath'"
            env -i LD_LIBRARY_PATH="$tree/$libdir" "$@" "$tool" --version >"$work/tool.out" 2>&1 ||
                { cat "$work/tool.out"; bad "$tool does not start"; }
            continue
        fi
        [ -n "$runpath" ] || bad "$tool has no run path"
        for dir in $(echo "$runpath" | tr ':' ' '); do
            case $dir in
                '$ORIGIN'/*) ;;
                *) bad "$tool's run path holds '$dir', not relative to \$ORIGIN" ;;
            esac
        done
        env -i "$@" "$tool" --version >"$work/tool.out" 2>&1 ||
            { cat "$work/tool.out"; bad "$tool does not start with a clean environment"; }
    done
done

sh "$(dirname "$0")/check_consumer.sh" "$stage" "$libdir" "$version" "$src" "$work/consumer" "$cmake" "$cc" \
    "$pkgconfig" "$readelf" "$toolchain" "$@" || fail=1

# The legacy examples, through CMake's softglu::compat and through
# pkg-config as docs/building.md shows, drawn and looked at.
if [ -n "${SOFTGLU_LEGACY_TESTS:-}" ]; then
    pc() { PKG_CONFIG_LIBDIR="$stage/$libdir/pkgconfig" "$pkgconfig" "$@"; }
    examples=$src/examples/legacy
    programs="solar robot hud pick quadrics winding contours extrude landscape trimmed"
    if ! { "$cmake" -S "$examples" -B "$work/legacy-cmake" -Dsoftglu_DIR="$stage/$libdir/cmake/softglu" &&
           "$cmake" --build "$work/legacy-cmake"; } >"$work/legacy-cmake.log" 2>&1; then
        cat "$work/legacy-cmake.log"; bad "CMake does not build the legacy examples"
    fi
    mkdir -p "$work/legacy-pc"
    for p in $programs; do
        # shellcheck disable=SC2046
        "$cc" -o "$work/legacy-pc/$p" "$examples/$p.c" "$examples/offscreen.c" \
            $(pc --cflags --libs softglu-compat) -lOSMesa -lpng \
            -Wl,-rpath,"$(pc --variable=libdir softglu)" || bad "pkg-config does not build $p"
    done
    for build in legacy-cmake legacy-pc; do
        for p in $programs; do
            [ -f "$work/$build/$p" ] || continue
            softglu_not_glu "$work/$build/$p" "$build/$p"
        done
        SOFTGLU_LEGACY_DIR=$work/$build "$SOFTGLU_LEGACY_TESTS" --gtest_filter='LegacyProgram.*' \
            >"$work/$build.log" 2>&1 || { cat "$work/$build.log"; bad "the $build pictures are wrong"; }
    done
fi

# The porting environment: pick's classic build files, unchanged, after
# sourcing porting.sh from this tree (host builds, where pick can run).
if [ -n "${SOFTGLU_LEGACY_TESTS:-}" ]; then
    sh "$(dirname "$0")/check_porting.sh" "$stage" "$src" "$work/porting" "$cmake" "$pkgconfig" "$readelf" \
        "$SOFTGLU_LEGACY_TESTS" || fail=1
fi

[ $fail -eq 0 ] && echo "install ok: $stage"
exit $fail
