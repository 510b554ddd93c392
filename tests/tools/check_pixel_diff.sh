#!/bin/sh
# SPDX-License-Identifier: MIT
# check_pixel_diff.sh RENDER PIXEL_DIFF WORK: pixel_diff, which the board
# check trusts to find the board's picture the same as amd64's, tells the
# same picture from another shape, another size and a missing file.
set -u
render=$1 pixel_diff=$2 work=$3
fail=0
rm -rf "$work" && mkdir -p "$work" || exit 1
for shape in sphere:96x64 disk:96x64 sphere:64x64; do
    "$render" --shape "${shape%:*}" --size "${shape#*:}" -o "$work/$shape.png" 2>/dev/null ||
        { echo "FAIL: softglu-render draws no $shape"; exit 1; }
done
# The picture compared with sphere:96x64.png, the status pixel_diff must
# exit with, and what it must print (a shell pattern).
while read -r b want says; do
    got=$(cd "$work" && "$pixel_diff" sphere:96x64.png "$b" 2>&1)
    status=$?
    # shellcheck disable=SC2254
    case "$status $got" in
        $want\ $says) ;;
        *) echo "FAIL: pixel_diff sphere:96x64.png $b exits $status, saying '$got'; expected $want, '$says'"; fail=1 ;;
    esac
done <<'CASES'
sphere:96x64.png 0 0 of 6144 pixels differ
disk:96x64.png 1 [1-9]* of 6144 pixels differ
sphere:64x64.png 1 sphere:96x64.png is 96x64, sphere:64x64.png is 64x64
missing.png 2 pixel_diff: cannot read missing.png: *
CASES
exit $fail
