#!/bin/sh
# SPDX-License-Identifier: MIT
# check_readme.sh SOURCE BUILD WORK: runs every ```sh block of the README's
# "Porting legacy programs" section, as written, in WORK/top: a scratch
# directory that looks like the top of the source tree (examples/ is the
# source's, build/host is BUILD), with HOME at WORK/home.  Whatever the
# commands write stays under WORK.
set -u
src=$1 build=$2 work=$3

rm -rf "$work"
mkdir -p "$work/top/build" "$work/home" || exit 1
ln -s "$src/examples" "$work/top/examples" && ln -s "$build" "$work/top/build/host" || exit 1

# The section runs up to the next second-level heading.
awk '/^## Porting legacy programs/ { on = 1; next }
     on && /^## / { exit }
     on && /^```sh$/ { code = 1; next }
     code && /^```$/ { code = 0; next }
     code { print }' "$src/README.md" >"$work/commands.sh" || exit 1
[ -s "$work/commands.sh" ] || { echo "FAIL: no sh block in the README's porting section"; exit 1; }

echo "running, in $work/top:"
cat "$work/commands.sh"
if (cd "$work/top" && HOME=$work/home sh -e "$work/commands.sh") >"$work/run.log" 2>&1; then
    echo "README ok: the porting section's commands ran"
else
    cat "$work/run.log"
    echo "FAIL: a command of the README's porting section failed"
    exit 1
fi
