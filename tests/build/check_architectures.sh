#!/bin/sh
# SPDX-License-Identifier: MIT
# check_architectures.sh SOURCE: what is said of each architecture elsewhere
# agrees with its one list, cmake/architectures.txt:
#   - each cross-built one has its toolchain file cmake/<triplet>.cmake,
#     and a configure preset of its name that uses it, and no other
#     preset names a toolchain file;
#   - tests/build/check_arch.sh has checks for exactly these architectures;
#   - softglu-trace's family table (tools/trace/families.cpp) holds
#     exactly these, each in the family the list says.
set -u
src=$1
fail=0
. "$(dirname "$0")/lib.sh"
rows=$(awk '!/^#/ && NF' "$src/cmake/architectures.txt") || exit 1
[ -n "$rows" ] || { echo "FAIL: cmake/architectures.txt lists nothing"; exit 1; }
sorted() { tr ' ' '\n' | sed '/^$/d' | LC_ALL=C sort; }
arches=$(echo "$rows" | awk '{ print $1 }' | sorted)

presets=$src/CMakePresets.json
echo "$rows" | while read -r arch triplet cpu family packages; do
    [ "$cpu" = - ] && continue
    toolchain=cmake/$triplet.cmake
    grep -q "^set(SOFTGLU_TRIPLET $triplet)\$" "$src/$toolchain" 2>/dev/null ||
        echo "FAIL: $arch: $toolchain does not set SOFTGLU_TRIPLET $triplet"
    awk -v name="\"name\": \"$arch\"," -v file="\"toolchainFile\": \"\${sourceDir}/$toolchain\"" '
        index($0, name) { near = NR + 3 } NR <= near && index($0, file) { found = 1 }
        END { exit !found }' "$presets" || echo "FAIL: $arch: no configure preset $arch with $toolchain"
done | grep . && fail=1
used=$(sed -n 's|.*"toolchainFile": "${sourceDir}/cmake/\(.*\)\.cmake".*|\1|p' "$presets" | sorted)
listed=$(echo "$rows" | awk '$3 != "-" { print $2 }' | sorted)
[ "$used" = "$listed" ] || bad "the presets' toolchain files ($(echo $used)) are not the list's ($(echo $listed))"

# check_arch.sh's first case: one label (or a | b) per architecture.
checked=$(awk '/^case \$arch in/ { on = 1; next } on && /^esac/ { exit }
    on && /^ *[a-z0-9 |]+\)/ { sub(/\).*/, ""); gsub(/\|/, " "); print }' "$src/tests/build/check_arch.sh" | sorted)
[ "$checked" = "$arches" ] || bad "tests/build/check_arch.sh checks $(echo $checked), the list has $(echo $arches)"

families=$(grep -o '{"[a-z0-9]*", SOFTGLU_FAMILY_[A-Z]*}' "$src/tools/trace/families.cpp" |
    sed 's/{"\(.*\)", SOFTGLU_FAMILY_\(.*\)}/\1 \2/' | LC_ALL=C sort)
expected=$(echo "$rows" | awk '{ f = toupper($4); if (f == "CPU") f = "UNKNOWN"; print $1, f }' | LC_ALL=C sort)
[ "$families" = "$expected" ] ||
    bad "tools/trace/families.cpp's table ($(echo $families)) is not the list's ($(echo $expected))"

[ $fail -eq 0 ] && echo "architectures ok: $(echo $arches) agree with cmake/architectures.txt"
exit $fail
