#!/bin/sh
# SPDX-License-Identifier: MIT
# check_debs.sh OUT WORK SOURCE HOSTBUILD ARMELBUILD: the Debian packages in
# OUT (scripts/build-packages), for every architecture built there.
#   - Each package's fields and file list, its maintainer scripts' ldconfig
#     trigger, shlibs and symbols files; the library stripped, its debug
#     information in the -dbgsym package.
#   - The library inside: seven exports, NEEDED libc and libm (check_abi.sh),
#     an object of its architecture without fused multiply-add
#     (check_arch.sh); the compatibility archive (check_compat.sh).
#   - softglu-classic: the classic libGLU.so.1 of that architecture, in
#     softglu's own directory, with no shlibs, symbols or ldconfig trigger.
#   - softglu-trace, packaged for every architecture: the program and its
#     interposer objects of that architecture (check_arch.sh); run under
#     the architecture's qemu-user on its baseline CPU, it lists calls
#     exactly as the packaged amd64 softglu-trace does in that
#     architecture's math family (--like), one call where the two families
#     part among them; and armel's interposer, given to qemu-arm, traces an
#     armel program into the listing that amd64 makes of the same program
#     --like armel (--diff).
#   - Multi-Arch: same packages hold the same arch-independent files on
#     every architecture.
#   - The packaged amd64 and armel libraries replay the reference stream,
#     bit for bit, with the corpus programs of HOSTBUILD and ARMELBUILD
#     (armel under qemu-arm, on the armel build's CPU model).
#   - A consumer built against the unpacked armel packages runs under
#     qemu-arm (check_consumer.sh); the road to the board, on Debian's own
#     armel userland, is check_board.sh's (make test-board).
#   - As root, the amd64 packages are installed for real (check_dpkg_install.sh).
set -u
out=$1 work=$2 src=$3 hostbuild=$4 armelbuild=$5
fail=0
. "$(dirname "$0")/lib.sh"
# The words of `set(NAME ...)` in man/CMakeLists.txt, which may span lines.
cmake_list() {
    awk -v name="$1" '$0 ~ "^set\\(" name " " { on = 1; sub("^set\\(" name, "") }
        on { line = $0; if (sub(/\).*/, "", line)) on = 0; print line }' "$src/man/CMakeLists.txt"
}
here=$(cd "$(dirname "$0")" && pwd)
# The packages' version (1.0.0-1) and the library's (1.0.0).
version=$(sed -n '1s/^softglu (\([^)]*\)).*/\1/p' "$src/debian/changelog")
upstream=${version%-*}
native=$(dpkg --print-architecture)
rm -rf "$work" && mkdir -p "$work" || exit 1

# "path" or "path -> target" for each file and link of a package, sorted.
contents() { dpkg-deb -c "$1" | awk '$1 !~ /^d/ { $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' | sort; }

# The md5sums of a package's files outside the multiarch directory.
shared_sums() { grep -v "usr/lib/$2/" "$1/md5sums" | sort; }

arches=$(ls "$out" | sed -n 's/^libsoftglu1_[^_]*_\(.*\)\.deb$/\1/p')
[ -n "$arches" ] || { echo "FAIL: no packages in $out"; exit 1; }
for arch in $arches; do
    multiarch=$(dpkg-architecture -a"$arch" -qDEB_HOST_MULTIARCH 2>/dev/null)
    gnu=$(dpkg-architecture -a"$arch" -qDEB_HOST_GNU_TYPE 2>/dev/null)
    bin=
    [ "$arch" = "$native" ] || bin=$gnu-
    lib=./usr/lib/$multiarch
    root=$work/$arch/root
    mkdir -p "$root"

    # Each package's documentation: the Debian and upstream changelogs, the
    # copyright file.
    doc() { printf './usr/share/doc/%s/%s\n' "$1" changelog.Debian.gz "$1" changelog.gz "$1" copyright; }
    want_lib="$lib/libsoftglu.so.1 -> libsoftglu.so.$upstream
$lib/libsoftglu.so.$upstream
$(doc libsoftglu1)"
    examples=$(cd "$src" && git ls-files examples 2>/dev/null | sed 's|^examples/|./usr/share/doc/libsoftglu-dev/examples/|')
    [ -n "$examples" ] || examples=$(cd "$src" && find examples -type f | sed 's|^examples/|./usr/share/doc/libsoftglu-dev/examples/|')
    # The section 3 pages and their links, as man/CMakeLists.txt names them.
    man3=""
    for page in $(cmake_list pages3); do
        man3="$man3
./usr/share/man/man3/$page.3.gz"
    done
    for link in $(cmake_list links3); do
        man3="$man3
./usr/share/man/man3/${link%=*}.3.gz -> ${link#*=}.3.gz"
    done
    want_dev="./usr/include/softglu/GL/glu.h
./usr/include/softglu/GL/glu_compat.h
$lib/cmake/softglu/softgluConfig.cmake
$lib/cmake/softglu/softgluConfigVersion.cmake
$lib/cmake/softglu/softgluTargets-none.cmake
$lib/cmake/softglu/softgluTargets.cmake
$lib/libsoftglu-compat.a
$lib/libsoftglu.a
$lib/libsoftglu.so -> libsoftglu.so.1
$lib/pkgconfig/softglu-compat.pc
$lib/pkgconfig/softglu.pc
$lib/softglu/porting/bin/c++ -> cc
$lib/softglu/porting/bin/cc
$lib/softglu/porting/bin/clang -> cc
$lib/softglu/porting/bin/clang++ -> cc
$lib/softglu/porting/bin/g++ -> cc
$lib/softglu/porting/bin/gcc -> cc
$lib/softglu/porting/include/GL/glu.h
$lib/softglu/porting/link/libGLU.so
$lib/softglu/porting/link/pkgconfig/glu.pc
./usr/share/softglu/porting.sh
./usr/share/man/man7/softglu.7.gz
$(doc libsoftglu-dev)
$examples$man3"
    want_trace="./usr/bin/softglu-trace
$lib/softglu/libsoftglu-trace.so
$(doc softglu-trace)
./usr/share/man/man1/softglu-trace.1.gz"
    want_classic="$lib/softglu/classic/libGLU.so.1
$(doc softglu-classic)"
    want_tools="./usr/bin/softglu-render
$(doc softglu-tools)
./usr/share/man/man1/softglu-render.1.gz"

    packages="libsoftglu1 libsoftglu-dev softglu-trace softglu-classic"
    [ "$arch" = "$native" ] && packages="$packages softglu-tools"
    for package in $packages; do
        deb=$out/${package}_${version}_$arch.deb
        [ -f "$deb" ] || { bad "no $package for $arch"; continue; }
        case $package in
            libsoftglu1) want=$want_lib multi=same ;;
            libsoftglu-dev) want=$want_dev multi=same ;;
            softglu-trace) want=$want_trace multi=foreign ;;
            softglu-classic) want=$want_classic multi=same ;;
            softglu-tools) want=$want_tools multi=no ;;
        esac
        got=$(contents "$deb")
        [ "$got" = "$(echo "$want" | sort)" ] || bad "$package ($arch) holds
$got
expected
$(echo "$want" | sort)"
        for field in Package=$package Version=$version Architecture=$arch Multi-Arch=$multi; do
            value=$(dpkg-deb -f "$deb" "${field%%=*}")
            [ "$value" = "${field#*=}" ] || bad "$package ($arch): ${field%%=*} is '$value', expected '${field#*=}'"
        done
        dpkg-deb -x "$deb" "$root" && dpkg-deb -e "$deb" "$work/$arch/$package.control" ||
            bad "$package ($arch) does not unpack"
    done
    [ "$arch" = "$native" ] || [ ! -f "$out/softglu-tools_${version}_$arch.deb" ] ||
        bad "softglu-tools (softglu-render) is built for $arch: it is for $native only"

    depends=$(dpkg-deb -f "$out/libsoftglu-dev_${version}_$arch.deb" Depends)
    for want in "libsoftglu1 (= $version)" libgl-dev; do
        case ", $depends," in *", $want,"*) ;; *) bad "libsoftglu-dev ($arch) does not depend on $want: $depends" ;; esac
    done
    # i386's library needs SSE2 (debian/rules), and says so before it unpacks.
    pre=$(dpkg-deb -f "$out/libsoftglu1_${version}_$arch.deb" Pre-Depends)
    case $arch in
        i386) [ "$pre" = sse2-support ] || bad "libsoftglu1 (i386) pre-depends on '$pre', expected sse2-support" ;;
        *) [ -z "$pre" ] || bad "libsoftglu1 ($arch) pre-depends on $pre" ;;
    esac
    # The .pc files name /usr and the multiarch directory, nothing relative.
    for pc in softglu softglu-compat; do
        f=$root/usr/lib/$multiarch/pkgconfig/$pc.pc
        [ -f "$f" ] || continue
        grep -qx 'prefix=/usr' "$f" && grep -qx "libdir=\${prefix}/lib/$multiarch" "$f" &&
            grep -qx 'includedir=${prefix}/include/softglu' "$f" ||
            bad "$pc.pc ($arch) does not name /usr: $(grep -e '^prefix=' -e '^libdir=' -e '^includedir=' "$f" | tr '\n' ' ')"
    done
    control=$work/$arch/libsoftglu1.control
    grep -qx "libsoftglu 1 libsoftglu1 (>= $upstream)" "$control/shlibs" || bad "libsoftglu1 ($arch) shlibs: $(cat "$control/shlibs")"
    [ "$(grep -c '@SOFTGLU_1 ' "$control/symbols")" -eq 8 ] || bad "libsoftglu1 ($arch) symbols: $(cat "$control/symbols")"
    # The classic libGLU.so.1 is softglu's alone: nothing offers it to
    # other packages, nothing adds it to the linker cache.
    for f in shlibs symbols triggers; do
        [ ! -f "$work/$arch/softglu-classic.control/$f" ] || bad "softglu-classic ($arch) has a $f file"
    done
    grep -q '^activate-noawait ldconfig$' "$control/triggers" || bad "libsoftglu1 ($arch) has no ldconfig trigger"
    if [ "$arch" = "$native" ]; then
        amd64_lib=$(shared_sums "$control" "$multiarch")
        amd64_dev=$(shared_sums "$work/$arch/libsoftglu-dev.control" "$multiarch")
    elif [ -n "${amd64_lib:-}" ]; then
        [ "$(shared_sums "$control" "$multiarch")" = "$amd64_lib" ] ||
            bad "libsoftglu1 ($arch): its arch-independent files differ from $native's"
        [ "$(shared_sums "$work/$arch/libsoftglu-dev.control" "$multiarch")" = "$amd64_dev" ] ||
            bad "libsoftglu-dev ($arch): its arch-independent files differ from $native's"
    fi

    so=$root/usr/lib/$multiarch/libsoftglu.so.$upstream
    sh "$here/check_abi.sh" "$so" "${bin}readelf" "${bin}nm" || fail=1
    sh "$here/check_arch.sh" "$arch" "$so" "${bin}readelf" "${bin}objdump" || fail=1
    sh "$here/check_compat.sh" "$root/usr/lib/$multiarch/libsoftglu-compat.a" "${bin}nm" || fail=1
    for f in "$root/usr/bin/softglu-trace" "$root/usr/lib/$multiarch/softglu/libsoftglu-trace.so" \
        "$root/usr/lib/$multiarch/softglu/classic/libGLU.so.1"; do
        name=$(basename "$f")
        [ -f "$f" ] || { bad "no $name in softglu-trace ($arch)"; continue; }
        sh "$here/check_arch.sh" "$arch" "$f" "${bin}readelf" "${bin}objdump" >"$work/$arch/$name.arch"
        status=$?
        sed "s|^|$name: |" "$work/$arch/$name.arch"
        [ $status -eq 0 ] || fail=1
    done
    ! "${bin}readelf" -S "$so" | grep -q -e '\.debug_info' -e '\.symtab' || bad "libsoftglu.so ($arch) is not stripped"
    dpkg-deb -c "$out/libsoftglu1-dbgsym_${version}_$arch.deb" 2>/dev/null | grep -q '/usr/lib/debug/.build-id/.*\.debug$' ||
        bad "no debug information for libsoftglu.so ($arch)"
done

# qemu-arm on the CPU model the armel build's tests run on (its toolchain
# file's baseline, or the SOFTGLU_QEMU_CPU it was given).
armelcpu=$(sed -n 's/^SOFTGLU_QEMU_CPU:[A-Z]*=//p' "$armelbuild/CMakeCache.txt" 2>/dev/null)
qemuarm="qemu-arm${armelcpu:+ -cpu $armelcpu} -L /usr/arm-linux-gnueabi"

# The packaged libraries send the reference stream.
for build in "$hostbuild" "$armelbuild"; do
    arch=$native emulator=
    if [ "$build" = "$armelbuild" ]; then
        arch=armel emulator=$qemuarm
    fi
    dir=$work/$arch/root/usr/lib/$(dpkg-architecture -a"$arch" -qDEB_HOST_MULTIARCH 2>/dev/null)
    [ -f "$dir/libsoftglu.so.1" ] || { bad "no $arch library to replay the reference with"; continue; }
    if [ -n "$emulator" ]; then
        # shellcheck disable=SC2086
        $emulator -E LD_LIBRARY_PATH="$dir" "$build/tests/softglu_corpus" replay "$build/tests/reference" \
            "$dir/libsoftglu.so.1" >"$work/$arch/replay.log" 2>&1
    else
        LD_LIBRARY_PATH="$dir" "$build/tests/softglu_corpus" replay "$build/tests/reference" \
            "$dir/libsoftglu.so.1" >"$work/$arch/replay.log" 2>&1
    fi || { tail -n 20 "$work/$arch/replay.log"; bad "the packaged $arch library does not send the reference stream"; }
done

# softglu-trace of each architecture runs under its qemu-user, on the CPU
# model its toolchain file names (armel's: the armel build's), and lists as
# the packaged amd64 softglu-trace does in that architecture's family.
# Their math families list perspective 2.7602 otherwise (tests/tools/test_families.cpp).
hostroot=$work/$native/root
hosttrace="env LD_LIBRARY_PATH=$hostroot/usr/lib/$(dpkg-architecture -a"$native" -qDEB_HOST_MULTIARCH 2>/dev/null) $hostroot/usr/bin/softglu-trace"
for arch in $arches; do
    [ "$arch" != "$native" ] && [ -f "$hostroot/usr/bin/softglu-trace" ] || continue
    gnu=$(dpkg-architecture -a"$arch" -qDEB_HOST_GNU_TYPE 2>/dev/null)
    root=$work/$arch/root
    toolchain=$src/cmake/$gnu.cmake
    qemu=$(sed -n 's/^set(SOFTGLU_QEMU \([^ )]*\))$/\1/p' "$toolchain" 2>/dev/null)
    cpu=$(awk -v a="$arch" '!/^#/ && $1 == a { print $3 }' "$src/cmake/architectures.txt")
    [ "$arch" = armel ] && cpu=${armelcpu:-$cpu}
    [ -n "$qemu" ] || { bad "$toolchain names no emulator for $arch"; continue; }
    there="$qemu${cpu:+ -cpu $cpu} -L /usr/$gnu -E LD_LIBRARY_PATH=$root/usr/lib/$(dpkg-architecture -a"$arch" -qDEB_HOST_MULTIARCH 2>/dev/null) $root/usr/bin/softglu-trace"
    # shellcheck disable=SC2086
    $there --version >"$work/$arch/trace-version.txt" 2>&1 ||
        { cat "$work/$arch/trace-version.txt"; bad "softglu-trace ($arch) does not run under $qemu${cpu:+ -cpu $cpu}"; continue; }
    # shellcheck disable=SC2086
    if ! $hosttrace --like "$arch" --version >/dev/null 2>"$work/$arch/like.txt"; then
        echo "softglu-trace ($arch) runs under $qemu; not compared: $(cat "$work/$arch/like.txt")"
        continue
    fi
    for call in "sphere 1 16 8" "perspective 2.7602 1 1 100"; do
        # shellcheck disable=SC2086
        $there --hex $call >"$work/$arch/there.txt" 2>&1 && $hosttrace --like "$arch" --hex $call >"$work/$arch/here.txt" 2>&1 &&
            cmp -s "$work/$arch/here.txt" "$work/$arch/there.txt" ||
            bad "softglu-trace ($arch) under $qemu does not list '$call' as $native's does --like $arch:
$(diff "$work/$arch/here.txt" "$work/$arch/there.txt" | head -n 6)"
    done
done

# armel's interposer, given to qemu-arm by the packaged amd64 softglu-trace,
# traces the armel build's zoom (examples/trace) into the listing the host
# build's zoom gives --like armel.
armroot=$work/armel/root
armlib=$armroot/usr/lib/arm-linux-gnueabi
if [ -f "$armlib/softglu/libsoftglu-trace.so" ] && [ -f "$hostroot/usr/bin/softglu-trace" ] &&
    [ -x "$armelbuild/examples/trace/zoom" ] && [ -x "$hostbuild/examples/trace/zoom" ]; then
    # shellcheck disable=SC2086
    (cd "$work/armel" &&
        $hosttrace --run --hex -o run-board.txt -- $qemuarm -E LD_LIBRARY_PATH="$armlib" \
            -E LD_PRELOAD="$armlib/softglu/libsoftglu-trace.so" "$armelbuild/examples/trace/zoom" run-board.png &&
        $hosttrace --like armel --run --hex -o run-here.txt -- "$hostbuild/examples/trace/zoom" run-here.png &&
        $hosttrace --diff run-here.txt run-board.txt) >"$work/armel/run.log" 2>&1 ||
        { tail -n 20 "$work/armel/run.log"; bad "the packaged armel interposer's listing is not amd64's --like armel"; }
fi

# A consumer of the armel packages, run under qemu-arm.
if [ -d "$work/armel/root/usr" ]; then
    # shellcheck disable=SC2086
    sh "$here/check_consumer.sh" "$work/armel/root/usr" lib/arm-linux-gnueabi "$upstream" "$src" "$work/armel/consumer" \
        cmake arm-linux-gnueabi-gcc pkg-config arm-linux-gnueabi-readelf "$src/cmake/arm-linux-gnueabi.cmake" \
        $qemuarm || fail=1
fi

if [ "$(id -u)" -eq 0 ]; then
    sh "$here/check_dpkg_install.sh" "$out" "$version" "$src" "$work/installed" || fail=1
else
    echo "skipped: installing the packages with dpkg -i needs root" >&2
fi

[ $fail -eq 0 ] && echo "packages ok: $(echo $arches)"
exit $fail
