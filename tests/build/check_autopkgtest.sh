#!/bin/sh
# SPDX-License-Identifier: MIT
# check_autopkgtest.sh OUT WORK (as root): runs debian/tests with
# autopkgtest's null runner (this machine) against the native packages of
# OUT and the source package OUT/softglu_<version>.dsc, as a Debian
# maintainer runs it.  autopkgtest installs the packages (and any test
# dependency that is missing) with apt, which sees this architecture only
# (a private APT_CONFIG); afterwards every package it set up
# is purged again, even when a test fails, and the package list must be as
# it was.  The lock of check_dpkg_install.sh keeps two runs, and the two
# scripts, from installing softglu at once.
set -u
out=$1 work=$2
fail=0
. "$(dirname "$0")/lib.sh"
arch=$(dpkg --print-architecture)
rm -rf "$work" && mkdir -p "$work" || exit 1
[ "$(id -u)" -eq 0 ] || { echo "skipped: autopkgtest's null runner installs the packages, which needs root"; exit 0; }
dsc=$(ls "$out"/softglu_*.dsc 2>/dev/null | head -n 1)
[ -n "$dsc" ] || { echo "FAIL: no source package in $out"; exit 1; }
version=$(sed -n 's/^Version: //p' "$dsc")
debs=""
for p in libsoftglu1 libsoftglu-dev softglu-trace softglu-tools; do
    [ -f "$out/${p}_${version}_$arch.deb" ] || { echo "FAIL: no $p for $arch in $out"; exit 1; }
    debs="$debs $out/${p}_${version}_$arch.deb"
done

exec 9>/tmp/softglu-dpkg-install.lock
flock -w 1800 9 || { echo "FAIL: another run holds /tmp/softglu-dpkg-install.lock"; exit 1; }
for p in libsoftglu1 libsoftglu-dev softglu-trace softglu-tools; do
    if dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'installed'; then
        echo "FAIL: $p is installed already; purge it first"
        exit 1
    fi
done
state >"$work/before"

cleanup() {
    # What autopkgtest set up: dpkg's "Setting up NAME:ARCH (VERSION)" lines.
    added=$(sed -n 's/^Setting up \([^ ]*\) (.*/\1/p' "$work/log" 2>/dev/null | sort -u | tr '\n' ' ')
    if [ -n "$added" ]; then
        # shellcheck disable=SC2086
        dpkg --purge $added >"$work/purge.log" 2>&1 || { cat "$work/purge.log"; bad "dpkg --purge $added fails"; }
    fi
    state >"$work/after"
    diff "$work/before" "$work/after" >"$work/after.diff" || bad "the package list is not as before:
$(cat "$work/after.diff")"
    [ $fail -eq 0 ] && echo "autopkgtest ok: $(grep -c ' PASS' "$work/summary") tests passed; purged $added"
    exit $fail
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# The null runner runs apt-get on this machine: it installs the packages and
# the tests' dependencies, and updates the indexes again at the end.  The
# tests need this architecture's packages only, so autopkgtest's apt sees
# that one alone: another architecture's index that fails to update (a
# mirror in the middle of a sync) does not fail the run, its index files
# stay as they are (no list cleanup), and each download is retried.
# shellcheck source=scripts/apt.sh
. "$(dirname "$0")/../../scripts/apt.sh"
printf 'APT::Architectures { "%s"; };\nAPT::Get::List-Cleanup "false";\nAcquire::Retries "%s";\n' \
    "$arch" "$apt_retries" >"$work/apt.conf" || { echo "FAIL: cannot write $work/apt.conf"; exit 1; }
# shellcheck disable=SC2086
APT_CONFIG=$work/apt.conf autopkgtest --summary-file="$work/summary" --output-dir="$work/output" $debs "$dsc" -- null >"$work/log" 2>&1
status=$?
cat "$work/summary" 2>/dev/null
if [ $status -ne 0 ]; then
    tail -n 60 "$work/log"
    bad "autopkgtest exit status $status (log: $work/log)"
fi
for t in consumers porting trace; do
    grep -q "^$t  *PASS" "$work/summary" 2>/dev/null || bad "autopkgtest's $t did not pass"
done
