#!/bin/sh
# SPDX-License-Identifier: MIT
# check_recipes.sh SOURCE BUILD WORK CMAKE: runs every ```sh block of the
# "Building against an installed softglu" section of docs/porting.md, as
# written, in WORK/top: a scratch directory that looks like the top of the
# source tree (examples/ is the source's, build/host is BUILD), with HOME at
# WORK/home.  Whatever the commands write stays under WORK.
#
# Each run is hermetic: it sees only the softglu it installed, whatever
# else the machine has (a softglu under /usr/local, /opt/softglu or /usr).
# The recipes run as written, so the environment does it: env -i, HOME its
# own; PATH the system's bin directories and a cmake of WORK's; no
# CMAKE_PREFIX_PATH, CPATH, LIBRARY_PATH or PKG_CONFIG_PATH; pkg-config's
# default search path an empty directory (softglu's .pc files require
# nothing else); and CMake, through CMAKE_TOOLCHAIN_FILE, told to ignore
# the prefixes /usr/local and /opt (its system prefixes, and where PATH
# would lead it) and softglu's package directories under /usr and /.
#   - The compiler notes every header it reads (SUNPRO_DEPENDENCIES): each
#     GL/glu.h must be softglu's, never the system's /usr/include/GL/glu.h.
#   - Run again where nothing was installed (CMAKE stands in for cmake, but
#     does nothing for --install), each recipe must stop, saying why, before
#     it compiles anything against a GL/glu.h.
set -u
src=$1 build=$2 work=$3 cmake=$4
fail=0
. "$(dirname "$0")/lib.sh"

rm -rf "$work"
mkdir -p "$work/bin" || exit 1

awk '/^## Building against an installed softglu/ { on = 1; next }
     on && /^## / { exit }
     on && /^```sh$/ { code = 1; next }
     code && /^```$/ { code = 0; next }
     code { print }' "$src/docs/porting.md" >"$work/commands.sh" || exit 1
[ -s "$work/commands.sh" ] || { echo "FAIL: no sh block in docs/porting.md's recipes"; exit 1; }
echo "the recipes:"
cat "$work/commands.sh"

multiarch=$(cc -print-multiarch)
ignored=""
for top in /usr /; do
    for dir in "lib/$multiarch" lib lib64 share; do
        ignored="$ignored;${top%/}/$dir/cmake/softglu"
    done
done
cat >"$work/hermetic.cmake" <<END || exit 1
# Only the softglu porting_recipes installed (check_recipes.sh).
set(CMAKE_IGNORE_PREFIX_PATH /usr/local /opt)
set(CMAKE_IGNORE_PATH "${ignored#;}")
END

# A scratch top of the tree, its own HOME, its own cmake (BIN/cmake); runs
# the recipes there.
recipes() {
    dir=$work/$1 bin=$2
    mkdir -p "$dir/top/build" "$dir/home" "$dir/pkgconfig" || return 1
    ln -s "$src/examples" "$dir/top/examples" && ln -s "$build" "$dir/top/build/host" || return 1
    (cd "$dir/top" && env -i HOME="$dir/home" PATH="$bin:/usr/bin:/bin:/usr/sbin:/sbin" LC_ALL=C \
        PKG_CONFIG_LIBDIR="$dir/pkgconfig" CMAKE_TOOLCHAIN_FILE="$work/hermetic.cmake" \
        SUNPRO_DEPENDENCIES="$dir/deps.txt recipe" sh -e "$work/commands.sh") >"$dir/run.log" 2>&1
}

mkdir -p "$work/cmake" && ln -s "$cmake" "$work/cmake/cmake" || exit 1
if recipes ran "$work/cmake"; then
    headers=$(tr ' \\' '\n\n' <"$work/ran/deps.txt" | grep '/GL/glu\.h$' | sort -u)
    [ -n "$headers" ] || bad "the recipes compiled nothing that includes GL/glu.h"
    for h in $headers; do
        case $(readlink -f "$h") in
            "$work"/ran/home/*/include/softglu/GL/glu.h) ;;
            *) bad "a recipe's compile read $h, not softglu's installed GL/glu.h" ;;
        esac
    done
else
    cat "$work/ran/run.log"
    bad "a command of the recipes failed"
fi

# Nothing installed: each recipe stops with pkg-config's or CMake's
# message, having compiled nothing against a GL/glu.h.
cat >"$work/bin/cmake" <<END
#!/bin/sh
[ "\$1" = --install ] && exit 0
exec "$cmake" "\$@"
END
chmod +x "$work/bin/cmake" || exit 1
if recipes empty "$work/bin"; then
    bad "the recipes ran although nothing was installed"
fi
grep -q "softglu-compat" "$work/empty/run.log" || { cat "$work/empty/run.log"; bad "the recipes did not say softglu-compat is missing"; }
if [ -f "$work/empty/deps.txt" ] && grep -q 'GL/glu\.h' "$work/empty/deps.txt"; then
    bad "with nothing installed, a recipe still compiled against a GL/glu.h: $(grep -o '[^ ]*GL/glu\.h' "$work/empty/deps.txt")"
fi

[ $fail -eq 0 ] && echo "recipes ok: softglu's GL/glu.h only, and a clear stop with nothing installed"
exit $fail
