#!/bin/sh
# SPDX-License-Identifier: MIT
# check_board.sh SOURCE OUT HOSTBUILD WORK: runs the ```sh block of "The road
# to the board" in SOURCE/docs/porting.md, as written, in WORK/top: a scratch
# top of the source tree whose examples/ is SOURCE's, build/packages/out is
# OUT (the armel packages) and build/host is HOSTBUILD.  The block makes a
# Debian armel root with mmdebstrap, cross-builds a legacy example against
# it and runs it under qemu-arm with the board's Mesa, then compares it with
# HOSTBUILD's build, traced and untraced.
#   - Each command is echoed (sh -x): a failing one is named.  mmdebstrap is
#     tried again, up to three times, while the mirror is being synced.
#   - The program is an ARM EABI5 soft-float executable that needs
#     libsoftglu.so.1 and no other GL utility library.
#   - The compiler notes every header it reads (SUNPRO_DEPENDENCIES): each
#     GL/glu.h must be the board root's softglu one, never this machine's.
#   - The pictures are the same pixel for pixel (the block's pixel_diff),
#     the two --run listings byte for byte, with a softglu call in them.
# Status and failures go to standard error.
set -u
[ $# -eq 4 ] || { echo "usage: check_board.sh SOURCE OUT HOSTBUILD WORK" >&2; exit 2; }
src=$1 out=$2 hostbuild=$3 work=$4
fail=0
say() { echo "board: $*" >&2; }
bad() { echo "FAIL: board: $*" >&2; fail=1; }
start=$(date +%s)

rm -rf "$work" && mkdir -p "$work/top/build/packages" || exit 1
work=$(cd "$work" && pwd)
top=$work/top
ln -s "$src/examples" "$top/examples" && ln -s "$(cd "$out" && pwd)" "$top/build/packages/out" &&
    ln -s "$(cd "$hostbuild" && pwd)" "$top/build/host" || exit 1

awk '/^## The road to the board/ { on = 1; next }
     on && /^## / { exit }
     on && /^```sh$/ { code = 1; next }
     code && /^```$/ { code = 0; next }
     code { print }' "$src/docs/porting.md" >"$work/commands.sh" || exit 1
[ -s "$work/commands.sh" ] || { bad "no sh block in docs/porting.md's road to the board"; exit 1; }

# Run ahead of the block: mmdebstrap tried again while the mirror is being
# synced (apt: "File has unexpected size ... Mirror sync in progress?").
# The board's directory, $board in the block, is the check's own.
cat >"$work/retry.sh" <<EOF
mmdebstrap() {
    for attempt in 1 2 3; do
        command mmdebstrap "\$@" >"$work/mmdebstrap.log" 2>&1 && { cat "$work/mmdebstrap.log" >&2; return 0; }
        cat "$work/mmdebstrap.log" >&2
        grep -q -e 'Mirror sync in progress' -e 'Hash Sum mismatch' -e 'Failed to fetch' "$work/mmdebstrap.log" &&
            [ \$attempt -lt 3 ] || return 1
        echo "board: the mirror did not answer whole (attempt \$attempt); mmdebstrap again in 30 s" >&2
        case \$board in "$top"/*) rm -rf "\$board" ;; *) return 1 ;; esac
        sleep 30
    done
}
EOF

say "the road to the board (docs/porting.md), in $top"
if ! (cd "$top" && SUNPRO_DEPENDENCIES="$work/deps.txt robot" \
        sh -e -x -c '. "$1"; . "$2"' sh "$work/retry.sh" "$work/commands.sh") >"$work/run.log" 2>&1; then
    cat "$work/commands.sh" "$work/run.log" >&2
    bad "the road to the board stops at: $(grep '^+' "$work/run.log" | tail -n 1)"
    exit 1
fi

exe=$top/robot
if [ -f "$exe" ]; then
    arm-linux-gnueabi-readelf -h "$exe" | grep -q 'Machine:.*ARM' || bad "robot is not an ARM program"
    arm-linux-gnueabi-readelf -h "$exe" | grep -q 'Flags:.*Version5 EABI, soft-float ABI' || bad "robot is not EABI5 soft-float"
    needed=$(arm-linux-gnueabi-readelf -d "$exe" | sed -n 's/.*NEEDED.*\[\(.*\)\]/\1/p')
    echo "$needed" | grep -qx 'libsoftglu\.so\.1' || bad "robot does not need libsoftglu.so.1:" $needed
    ! echo "$needed" | grep -q '^libGLU' || bad "robot needs another GL utility library:" $needed
else
    bad "the road to the board built no robot"
fi
headers=$(tr ' \\' '\n\n' <"$work/deps.txt" 2>/dev/null | grep '/GL/glu\.h$' | sort -u)
[ -n "$headers" ] || bad "the cross compile read no GL/glu.h"
for h in $headers; do
    case $h in
        "$top"/armel-board/usr/include/softglu/GL/glu.h) ;;
        *) bad "the cross compile read $h, not the board root's softglu GL/glu.h" ;;
    esac
done

# The block's pixel_diff and --diff passed; the listings must also be the
# same bytes, and list softglu's calls (the math family's line alone would
# compare equal on any two machines of one family).
if [ -f "$top/board.txt" ] && [ -f "$top/here.txt" ]; then
    cmp -s "$top/here.txt" "$top/board.txt" ||
        bad "the listings differ: $(cmp "$top/here.txt" "$top/board.txt" 2>&1)"
    calls=$(grep -c -e '^glu[A-Z]' -e '^drawTorus(' "$top/board.txt")
    [ "$calls" -gt 0 ] || bad "the board's listing holds no softglu call"
else
    bad "the road to the board wrote no listing to compare"
fi

[ $fail -eq 0 ] || exit 1
pixels=$(sed -n 's/^[0-9]* of \([0-9]*\) pixels differ$/\1/p' "$work/run.log")
say "ok in $(($(date +%s) - start)) s: robot, cross-built against Debian armel's userland and run under qemu-arm -cpu arm926" \
    "with its Mesa, drew amd64's picture (0 of $pixels pixels differ) and sent its $calls softglu calls" \
    "($(wc -l <"$top/board.txt") lines of listing) as amd64 does in the unfused family"
