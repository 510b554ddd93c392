#!/bin/sh
# SPDX-License-Identifier: MIT
# check_apt.sh SOURCE WORK: scripts/apt.sh against a stand-in apt-get whose
# mirror is half broken: the index update fails ("Mirror sync in
# progress?"), the package `bad` cannot be fetched, every other package can.
# A failed update must only warn, the packages that can be had must still
# install and download, one that cannot must fail naming it with apt's own
# error line, every apt-get must retry its downloads, and nothing may reach
# standard output.
set -u
src=$1 work=$2
fail=0
. "$(dirname "$0")/lib.sh"

rm -rf "$work" && mkdir -p "$work/bin" || exit 1
cat >"$work/bin/apt-get" <<'EOF' || exit 1
#!/bin/sh
echo "$*" >>"$APT_CALLS"
case " $* " in
    *" update "*)
        echo "E: Failed to fetch http://mirror/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
        exit 100 ;;
    *" bad "* | *" bad:"*)
        echo "E: Failed to fetch http://mirror/debian/pool/main/b/bad/bad_1_i386.deb  404  Not Found" >&2
        exit 100 ;;
esac
echo "Setting up $*"
EOF
chmod +x "$work/bin/apt-get" || exit 1

# check STATUS "LINE..." COMMANDS: COMMANDS, with apt.sh sourced, end with
# STATUS, and each LINE is part of what they say on standard error.
check() {
    expected=$1 lines=$2 commands=$3
    status=0
    APT_CALLS=$work/calls PATH=$work/bin:$PATH sh -c ". \"\$0\"; $commands" "$src/scripts/apt.sh" \
        >"$work/out" 2>"$work/err" || status=$?
    [ "$status" -eq "$expected" ] || bad "$commands: exit status $status, not $expected"
    [ ! -s "$work/out" ] || bad "$commands: writes to standard output: $(cat "$work/out")"
    echo "$lines" | while IFS= read -r line; do
        grep -qF -- "$line" "$work/err" || echo "$line"
    done >"$work/missing" || exit 1
    [ ! -s "$work/missing" ] || bad "$commands: standard error lacks
$(cat "$work/missing")
it says:
$(cat "$work/err")"
}
check 0 "warning: apt-get update failed
Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?
going on with the indexes that did download" "apt_update && apt_install good other && apt_download good:i386"
check 100 "cannot install good bad (apt-get exit status 100):
bad_1_i386.deb  404  Not Found" "apt_install good bad"
check 100 "cannot download bad:i386 (apt-get exit status 100):
bad_1_i386.deb  404  Not Found" "apt_update; apt_download bad:i386"

grep -v -- '-o Acquire::Retries=[1-9]' "$work/calls" >"$work/no-retries"
[ ! -s "$work/no-retries" ] || bad "apt-get runs without retries: $(cat "$work/no-retries")"
[ $fail -eq 0 ] && echo "apt ok: a failed index update warns, a package that cannot be fetched is named"
exit $fail
