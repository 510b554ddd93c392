#!/bin/sh
# SPDX-License-Identifier: MIT
# check_board.sh SOURCE OUT WORK: runs the ```sh block of the "The road to
# the board" section of docs/porting.md, as written, in WORK/top: a scratch
# top of the source tree whose examples/ is SOURCE's and whose
# build/packages/out is OUT (the armel packages).
#   - The program it builds is an ARM EABI5 soft-float executable that
#     needs libsoftglu.so.1, and it runs under qemu-arm (it checks its own
#     counts).
#   - The compiler notes every header it reads (SUNPRO_DEPENDENCIES): each
#     GL/glu.h must be the sysroot's, never the build machine's.
set -u
src=$1 out=$2 work=$3
fail=0
bad() { echo "FAIL: $*"; fail=1; }
rm -rf "$work" && mkdir -p "$work/top/build/packages" || exit 1
work=$(cd "$work" && pwd)
ln -s "$src/examples" "$work/top/examples" && ln -s "$(cd "$out" && pwd)" "$work/top/build/packages/out" || exit 1

awk '/^## The road to the board/ { on = 1; next }
     on && /^## / { exit }
     on && /^```sh$/ { code = 1; next }
     code && /^```$/ { code = 0; next }
     code { print }' "$src/docs/porting.md" >"$work/commands.sh" || exit 1
[ -s "$work/commands.sh" ] || { echo "FAIL: no sh block in docs/porting.md's road to the board"; exit 1; }

if (cd "$work/top" && SUNPRO_DEPENDENCIES="$work/deps.txt counted" sh -e "$work/commands.sh") >"$work/run.log" 2>&1; then
    grep -q '^counted: 28 primitives, 536 vertices' "$work/run.log" || { cat "$work/run.log"; bad "counted printed no counts"; }
else
    cat "$work/commands.sh" "$work/run.log"
    bad "the road to the board fails"
fi
exe=$work/top/counted
if [ -f "$exe" ]; then
    header=$(arm-linux-gnueabi-readelf -h "$exe")
    case $header in *"Machine:"*ARM*) ;; *) bad "counted is not an ARM program" ;; esac
    arm-linux-gnueabi-readelf -h "$exe" | grep -q 'Flags:.*Version5 EABI, soft-float ABI' || bad "counted is not EABI5 soft-float"
    arm-linux-gnueabi-readelf -d "$exe" | grep -q 'NEEDED.*\[libsoftglu\.so\.1\]' || bad "counted does not need libsoftglu.so.1"
fi
headers=$(tr ' \\' '\n\n' <"$work/deps.txt" 2>/dev/null | grep '/GL/glu\.h$' | sort -u)
[ -n "$headers" ] || bad "the cross compile read no GL/glu.h"
for h in $headers; do
    case $h in
        "$work"/top/armel-sysroot/usr/include/softglu/GL/glu.h) ;;
        *) bad "the cross compile read $h, not the sysroot's GL/glu.h" ;;
    esac
done

[ $fail -eq 0 ] && echo "board ok: cross-built against the unpacked armel packages, run under qemu-arm -cpu arm926"
exit $fail
