#!/bin/sh
# SPDX-License-Identifier: MIT
# family-scan.sh HOSTBUILD [TRIPLET...]: measures glibc's math families
# again, as docs/bit-exact.md says to for another glibc.  On an amd64
# machine with FMA and AVX2, it builds family_scan.c (beside it) and
#
#   1. compares sin, cos and tan of 100,000 arguments between the fused
#      family (this machine) and the unfused one (GLIBC_TUNABLES=
#      glibc.cpu.hwcaps=-AVX2,-FMA), and prints the first arguments where
#      they part in the form of tools/trace/family.h's probes;
#   2. builds the same for each cross triplet named (arm-linux-gnueabi...)
#      with Debian's cross compiler and softglu's flags for the target
#      (this directory's CMakeLists.txt, with cmake/<triplet>.cmake), runs
#      it under the qemu-user emulator and on the CPU model
#      cmake/architectures.txt names, and says which family its results
#      match, bit for bit;
#   3. scans gluPerspective over 1,800,000 fields of view with HOSTBUILD's
#      libsoftglu in both families and prints those whose frustum differs
#      (tests/tools/test_families.cpp and examples/trace/zoom.c keep some).
# Scratch files go to a directory of its own, removed at the end.
set -eu
[ $# -ge 1 ] || { echo "usage: family-scan.sh HOSTBUILD [TRIPLET...]" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
host=$(cd "$1" && pwd)
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unfused="env GLIBC_TUNABLES=glibc.cpu.hwcaps=-AVX2,-FMA"
n=100000

cc -O2 -fno-builtin -o "$work/scan" "$here/family_scan.c" -lm
"$work/scan" math $n >"$work/fused.txt"
$unfused "$work/scan" math $n >"$work/unfused.txt"
cmp -s "$work/fused.txt" "$work/unfused.txt" &&
    { echo "family-scan.sh: this machine's math is the same with and without FMA: no fused family here" >&2; exit 1; }
echo "sin, cos and tan of $n arguments: $(paste -d' ' "$work/fused.txt" "$work/unfused.txt" |
    awk '{ s += $2 != $6; c += $3 != $7; t += $4 != $8 } END { printf "%d, %d and %d differ", s, c, t }')"
echo "probes (family.h: function, argument, fused, unfused):"
paste -d' ' "$work/fused.txt" "$work/unfused.txt" | awk '
    $2 != $6 && s < 3 { s++; print "    {'"'"'s'"'"', 0x" $1 "ULL, 0x" $2 "ULL, 0x" $6 "ULL}," }
    $3 != $7 && c < 3 { c++; print "    {'"'"'c'"'"', 0x" $1 "ULL, 0x" $3 "ULL, 0x" $7 "ULL}," }
    $4 != $8 && t < 1 { t++; print "    {'"'"'t'"'"', 0x" $1 "ULL, 0x" $4 "ULL, 0x" $8 "ULL}," }'

for triplet in "$@"; do
    toolchain=$src/cmake/$triplet.cmake
    [ -f "$toolchain" ] || { echo "family-scan.sh: no $toolchain" >&2; exit 2; }
    setting() { sed -n "s/^set($1 \\([^ )]*\\).*/\\1/p" "$toolchain"; }
    # Its Debian name and qemu CPU model: cmake/architectures.txt.
    listed() { awk -v t="$triplet" '!/^#/ && $2 == t { print $'"$1"' }' "$src/cmake/architectures.txt"; }
    arch=$(listed 1)
    build=$work/build-$arch
    { cmake -S "$here" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" && cmake --build "$build"; } \
        >"$work/build-$arch.log" 2>&1 || { cat "$work/build-$arch.log" >&2; exit 1; }
    cpu=$(listed 3)
    "$(setting SOFTGLU_QEMU)" -L "/usr/$triplet" ${cpu:+-cpu "$cpu"} "$build/family_scan" math $n >"$work/$arch.txt"
    if cmp -s "$work/$arch.txt" "$work/fused.txt"; then
        echo "$arch: fused"
    elif cmp -s "$work/$arch.txt" "$work/unfused.txt"; then
        echo "$arch: unfused"
    else
        echo "$arch: neither family ($(paste -d' ' "$work/$arch.txt" "$work/fused.txt" | awk '$0 != "" && ($2 != $6 || $3 != $7 || $4 != $8)' | wc -l) arguments differ from the fused)"
    fi
done

cc -O2 -DSCAN_PERSPECTIVE -I"$src/include" -rdynamic -o "$work/perspective" "$here/family_scan.c" \
    -L"$host" -lsoftglu -Wl,-rpath,"$host" -lm
"$work/perspective" perspective >"$work/p-fused.txt"
$unfused "$work/perspective" perspective >"$work/p-unfused.txt"
echo "gluPerspective(f, 1, 1, 100), f = 0.0001 ... 179.9999 by 0.0001: the frustum differs for f ="
paste -d' ' "$work/p-fused.txt" "$work/p-unfused.txt" | awk '$2 != $4 { printf " %s", $1 } END { print "" }'
