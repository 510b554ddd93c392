#!/bin/sh
# SPDX-License-Identifier: MIT
# check_readme.sh SOURCE CC: the README says what is true.
#   - Its C example (the first ```c block) compiles as C99, warning-free,
#     against softglu's GL/glu.h and no other.
#   - It gives the command CI runs (.ci/run's make line), in a ```sh block.
#   - Every relative link of README.md and docs/*.md names a file that
#     exists, so that what moved out of the README is found from it.
set -u
src=$1 cc=$2
fail=0
. "$(dirname "$0")/lib.sh"
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT

awk '/^```c$/ { on = 1; next } on && /^```$/ { exit } on { print }' "$src/README.md" >"$work/example.c"
if [ ! -s "$work/example.c" ]; then
    bad "README.md has no C example"
elif "$cc" -std=c99 -Wall -Wextra -pedantic -Werror -I"$src/include" -c -MD -MF "$work/example.d" \
        -o "$work/example.o" "$work/example.c" 2>"$work/cc.log"; then
    headers=$(tr ' \\' '\n\n' <"$work/example.d" | grep '/GL/glu\.h$')
    [ "$(readlink -f "$headers")" = "$(readlink -f "$src/include/GL/glu.h")" ] ||
        bad "the README's example includes $headers, not softglu's GL/glu.h"
else
    cat "$work/cc.log"
    bad "the README's C example does not compile"
fi

ci=$(sed -n 's/^make /make /p' "$src/.ci/run")
[ -n "$ci" ] || bad ".ci/run runs no make command"
awk '/^```sh$/ { on = 1; next } on && /^```$/ { on = 0 } on { print }' "$src/README.md" |
    grep -q "^$ci\( \|$\)" || bad "README.md does not give CI's command, '$ci'"

for doc in "$src/README.md" "$src"/docs/*.md; do
    dir=$(dirname "$doc")
    for link in $(grep -o '](\([^)#:]*\))' "$doc" | sed 's/^](\(.*\))$/\1/'); do
        [ -e "$dir/$link" ] || bad "$(basename "$doc") links to $link, which does not exist"
    done
done

[ $fail -eq 0 ] && echo "README ok: its example compiles, it gives CI's command '$ci', every link resolves"
exit $fail
