#!/bin/sh
# check_package.sh SOURCE WORK DEBARCH MULTIARCH CMAKE CPACK READELF NM OBJDUMP TOOLCHAIN
# Configures SOURCE as a Debian package build (prefix /usr, the library in
# the multiarch directory lib/MULTIARCH), makes the .tar.gz and the .deb with
# CPack, and checks the .deb's architecture, its file list, and the library
# inside it (check_abi.sh and check_arch.sh).  TOOLCHAIN is the
# CMake toolchain file of a cross build, or empty.
set -u
src=$1 work=$2 arch=$3 multiarch=$4 cmake=$5 cpack=$6 readelf=$7 nm=$8 objdump=$9 toolchain=${10}
fail=0
bad() { echo "FAIL: $*"; fail=1; }
here=$(dirname "$0")

rm -rf "$work"
if ! { "$cmake" -S "$src" -B "$work" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
           -DCMAKE_INSTALL_LIBDIR="lib/$multiarch" \
           -DSOFTGLU_BUILD_TESTS=OFF ${toolchain:+"-DCMAKE_TOOLCHAIN_FILE=$toolchain"} &&
       "$cmake" --build "$work" &&
       (cd "$work" && "$cpack" -G "TGZ;DEB"); } >"$work.log" 2>&1; then
    cat "$work.log"; echo "FAIL: package build"; exit 1
fi

deb=$(ls "$work"/softglu_*_"$arch".deb 2>/dev/null)
tgz=$(ls "$work"/softglu-*-"$multiarch".tar.gz 2>/dev/null)
[ -n "$deb" ] || { ls "$work"; echo "FAIL: no .deb for $arch"; exit 1; }
[ -n "$tgz" ] || bad "no .tar.gz for $multiarch"
echo "packages: $deb $tgz"

got=$(dpkg-deb -f "$deb" Architecture)
[ "$got" = "$arch" ] || bad "Architecture is '$got', expected '$arch'"

# Files and links, without directories: "./path" or "./path -> target".
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' | sort)
lib=./usr/lib/$multiarch
want=$(sort <<LIST
./usr/include/GL/glu.h
./usr/include/GL/glu_compat.h
$lib/cmake/softglu/softgluConfig.cmake
$lib/cmake/softglu/softgluConfigVersion.cmake
$lib/cmake/softglu/softgluTargets-release.cmake
$lib/cmake/softglu/softgluTargets.cmake
$lib/libsoftglu-compat.a
$lib/libsoftglu.so -> libsoftglu.so.1
$lib/libsoftglu.so.1 -> libsoftglu.so.1.0.0
$lib/libsoftglu.so.1.0.0
$lib/pkgconfig/softglu-compat.pc
$lib/pkgconfig/softglu.pc
LIST
)
[ "$files" = "$want" ] || bad "the .deb holds
$files
expected
$want"

tar -tzf "$tgz" | grep -q "/lib/$multiarch/libsoftglu.so.1.0.0\$" || bad "the .tar.gz has no lib/$multiarch/libsoftglu.so.1.0.0"

# The library in the package is the one this architecture runs.
dpkg-deb -x "$deb" "$work/root"
so=$work/root/usr/lib/$multiarch/libsoftglu.so.1.0.0
sh "$here/check_abi.sh" "$so" "$readelf" "$nm" || fail=1
sh "$here/check_arch.sh" "$arch" "$so" "$readelf" "$objdump" || fail=1
sh "$here/check_compat.sh" "$work/root/usr/lib/$multiarch/libsoftglu-compat.a" "$nm" || fail=1

[ $fail -eq 0 ] && echo "package ok: $arch, $(echo "$files" | wc -l) files"
exit $fail
