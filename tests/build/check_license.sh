#!/bin/sh
# SPDX-License-Identifier: MIT
# check_license.sh SOURCE: every source file git tracks (C, C++, headers,
# shell scripts, CMake files, Makefiles, pkg-config templates, the linker
# script, man pages, debian/rules and the scripts) names its licence with an
# SPDX line among its first three lines, and LICENSE holds the MIT text.
set -u
src=$1
fail=0
. "$(dirname "$0")/lib.sh"

# Outside a git checkout (an unpacked source copy) there is no list: skip.
files=$(git -C "$src" ls-files 2>/dev/null) && [ -n "$files" ] || { echo "skipped: $src is not a git checkout"; exit 77; }
count=0
for f in $files; do
    case $f in
        *.c | *.cpp | *.h | *.sh | *.cmake | *.in | *.map | CMakeLists.txt | */CMakeLists.txt | Makefile | \
        man/*.[1-8] | debian/rules | scripts/* | .ci/*) ;;
        *) continue ;;
    esac
    count=$((count + 1))
    head -n 3 "$src/$f" | grep -q 'SPDX-License-Identifier: MIT' || bad "$f has no SPDX-License-Identifier: MIT line at its top"
done
[ $count -gt 50 ] || bad "only $count source files found"
grep -q '^MIT License' "$src/LICENSE" && grep -q 'Copyright (c) 2026 the softglu authors' "$src/LICENSE" ||
    bad "LICENSE is not the MIT licence of the softglu authors"

[ $fail -eq 0 ] && echo "licence ok: $count source files carry the SPDX line"
exit $fail
