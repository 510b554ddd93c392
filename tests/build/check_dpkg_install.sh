#!/bin/sh
# SPDX-License-Identifier: MIT
# check_dpkg_install.sh OUT VERSION SOURCE WORK (as root): installs the
# native packages of OUT with dpkg -i, as a user would, beside whatever the
# system has, and checks that:
#   - nothing was removed or changed (the system's GL utility library and
#     GL utility and GLUT development packages included), only the five
#     packages added, softglu-classic's libGLU.so.1 beside the system's
#     and out of the linker cache;
#   - the linker cache knows libsoftglu.so.1;
#   - programs build and run against /usr through pkg-config and CMake,
#     with softglu's GL/glu.h and never the system's (check_consumer.sh);
#   - man finds the pages and renders them without a warning;
#   - the tools run, and softglu-trace --run finds its interposer where the
#     package installs it and lists a consumer's softglu calls.
# The packages are then purged, always, even when a step fails, and the
# package list must be what it was before.  A lock keeps two runs (two
# worktrees' suites) from installing at once.
set -u
out=$1 version=$2 src=$3 work=$4
upstream=${version%-*}
fail=0
. "$(dirname "$0")/lib.sh"
here=$(cd "$(dirname "$0")" && pwd)
arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null)
packages="libsoftglu1 libsoftglu-dev softglu-trace softglu-tools softglu-classic"
rm -rf "$work" && mkdir -p "$work" || exit 1

exec 9>/tmp/softglu-dpkg-install.lock
flock -w 1800 9 || { echo "FAIL: another run holds /tmp/softglu-dpkg-install.lock"; exit 1; }

# dpkg gives up at once when apt or dpkg of another build holds its lock:
# wait for it, up to ten minutes.
dpkg_waiting() {
    tries=0
    while ! dpkg "$@" >"$work/dpkg.log" 2>&1; do
        if grep -q 'lock' "$work/dpkg.log" && [ $tries -lt 120 ]; then
            tries=$((tries + 1)) && sleep 5 && continue
        fi
        cat "$work/dpkg.log"
        return 1
    done
}

for p in $packages; do
    if dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'installed'; then
        echo "FAIL: $p is installed already; purge it first (dpkg --purge $packages)"
        exit 1
    fi
done
state >"$work/before"

cleanup() {
    # shellcheck disable=SC2086
    dpkg_waiting --purge $packages || bad "dpkg --purge fails"
    state >"$work/after"
    diff "$work/before" "$work/after" >"$work/after.diff" || bad "the package list is not as before:
$(cat "$work/after.diff")"
    [ $fail -eq 0 ] && echo "dpkg ok: installed beside the system's packages, used, purged"
    exit $fail
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

debs=""
for p in $packages; do debs="$debs $out/${p}_${version}_$arch.deb"; done
# shellcheck disable=SC2086
dpkg_waiting -i $debs || { bad "dpkg -i fails"; exit 1; }

state >"$work/during"
removed=$(comm -23 "$work/before" "$work/during")
[ -z "$removed" ] || bad "installing removed or changed: $removed"
added=$(comm -13 "$work/before" "$work/during" | cut -d' ' -f1 | sed 's/:.*//' | tr '\n' ' ')
[ "$added" = "libsoftglu-dev libsoftglu1 softglu-classic softglu-tools softglu-trace " ] || bad "installing added: $added"
for p in libglu1-mesa libglu1-mesa-dev libglut-dev freeglut3-dev; do
    if grep -q "^$p:" "$work/before"; then
        grep -q "^$p:.* ii $" "$work/during" || bad "$p is no longer installed"
    fi
done

ldconfig -p | grep -q "libsoftglu.so.1 .*=> .*/lib/$multiarch/libsoftglu.so.1\$" || bad "ldconfig does not know libsoftglu.so.1"
# The classic libGLU.so.1 lies beside the system's, unknown to the linker
# cache: nothing loads it unless asked.
[ -f "/usr/lib/$multiarch/softglu/classic/libGLU.so.1" ] || bad "softglu-classic did not install its libGLU.so.1"
! ldconfig -p | grep -q 'softglu/classic' || bad "the linker cache knows softglu's classic libGLU.so.1"

sh "$here/check_consumer.sh" /usr "lib/$multiarch" "$upstream" "$src" "$work/consumer" cmake cc pkg-config readelf "" ||
    fail=1

for page in gluSphere gluDeleteQuadric gluPartialDisk softglu-trace; do
    where=$(man -w "$page" 2>&1)
    case $where in /usr/share/man/man[13]/*) ;; *) bad "man -w $page: $where" ;; esac
    warnings=$(MANWIDTH=80 man --warnings "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || bad "man $page warns: $warnings"
done
MANWIDTH=80 man gluSphere 2>/dev/null | grep -q 'gluSphere - draw a sphere' || bad "man gluSphere shows another page"

[ "$(softglu-trace --version | sed -n 1p)" = "softglu-trace $upstream" ] || bad "softglu-trace --version: $(softglu-trace --version)"
softglu-trace --summary sphere 1 8 4 | grep -q '^vertices  *92$' || bad "softglu-trace does not draw"
# sphere-pc1 (check_consumer.sh) defines its own GL: its softglu calls are
# listed, not what softglu sends into that GL (softglu-trace(1), LIMITS).
softglu-trace --run -o "$work/run.txt" -- "$work/consumer/sphere-pc1" >/dev/null 2>"$work/run.err" &&
    grep -qx 'gluSphere(null, 1, 16, 8)' "$work/run.txt" ||
    bad "softglu-trace --run does not list sphere-pc1's calls: $(cat "$work/run.err")"
softglu-render --size 64 --shape torus -o "$work/torus.png" >/dev/null && [ -s "$work/torus.png" ] ||
    bad "softglu-render does not draw"
