#!/bin/sh
# SPDX-License-Identifier: MIT
# check_subproject.sh SOURCE WORK CMAKE: builds tests/build/subproject, a
# parent project holding softglu through add_subdirectory, once as a Debug
# build and once with no build type, and runs its program.  softglu must
# leave the parent's build type as it was (the CMake file checks it, and so
# does the cache here), look for none of the tools' packages (OSMesa), and
# install nothing.
set -u
src=$1 work=$2 cmake=$3
fail=0
. "$(dirname "$0")/lib.sh"
rm -rf "$work" && mkdir -p "$work" || exit 1

for type in Debug ""; do
    dir=$work/build-${type:-none}
    if ! { "$cmake" -S "$src/tests/build/subproject" -B "$dir" -DSOFTGLU_SOURCE="$src" -DCMAKE_BUILD_TYPE="$type" &&
           "$cmake" --build "$dir"; } >"$dir.log" 2>&1; then
        cat "$dir.log"; bad "the parent project does not build (build type '$type')"
        continue
    fi
    cached=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$dir/CMakeCache.txt")
    [ "$cached" = "$type" ] || bad "the cached build type is '$cached', the parent set '$type'"
    ! grep -q '^SOFTGLU_OSMESA' "$dir/CMakeCache.txt" || bad "softglu looked for OSMesa in its parent"
    "$dir/app" >/dev/null || bad "the parent's program fails (build type '$type')"
    "$cmake" --install "$dir" --prefix "$dir/stage" >/dev/null 2>&1
    [ ! -e "$dir/stage" ] || bad "softglu installs files from its parent: $(find "$dir/stage" -type f | head -3)"
done

[ $fail -eq 0 ] && echo "subproject ok: softglu's library only, the parent's build type kept"
exit $fail
