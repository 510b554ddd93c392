#!/bin/sh
# SPDX-License-Identifier: MIT
# mutants.sh [WORK]: proves the fast tests catch precision and ordering
# slips in the library and the compatibility layer.  For each slip of
# tests/mutants.txt it rewrites one line of a copy of the sources (src/glu.cpp
# unless the slip names another file), rebuilds what that file goes into
# (the library alone, the compatibility archive and the fast tests that
# link it, or both for src/disk.h), and runs the fast tests: the unit tests
# and the reference replay.  A slip is caught when either fails.  It also
# hashes the stream of a broad set of other calls (softglu_corpus digest) to
# tell whether the slip changes the stream at all.  Exit status 1 if any
# slip is missed or a slip no longer applies; WORK defaults to
# build/mutants.
set -u
src=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$src/build/mutants}
list=$src/tests/mutants.txt
jobs=$(nproc 2>/dev/null || echo 2)

say() { echo "$*" >&2; }

# A copy of the sources, and of their originals: each slip rewrites one
# file of the copy, which is put back afterwards.
rm -rf "$work" && mkdir -p "$work/tree" || exit 1
for part in CMakeLists.txt CMakePresets.json cmake examples include src tests tools; do
    cp -R "$src/$part" "$work/tree/" || exit 1
done
cp -R "$work/tree/src" "$work/orig" || exit 1

build=$work/build
say "mutants: building the fast tests in $build"
# The preset "mutants": the fast tests only, and no relinking of programs
# when only the shared library changed.
cmake -S "$work/tree" --preset mutants -B "$build" >"$work/configure.log" 2>&1 &&
    cmake --build "$build" -j"$jobs" --target softglu_tests softglu_corpus softglu_reference \
        >"$work/build.log" 2>&1 || { cat "$work/configure.log" "$work/build.log"; exit 1; }

# The fast tests; 0 when they pass.  The tessellator's tests are left out:
# no slip of this list touches src/compat/tess.cpp, and they would take
# most of each run.
fast() {
    timeout 120 "$build/tests/softglu_tests" --gtest_brief=1 --gtest_filter='-Tess*' >"$work/tests.log" 2>&1 &&
        timeout 120 "$build/tests/softglu_corpus" replay "$build/tests/reference" >"$work/replay.log" 2>&1
}
digest() { timeout 120 "$build/tests/softglu_corpus" digest >"$1" 2>&1; }

fast || { cat "$work/tests.log" "$work/replay.log"; say "mutants: the fast tests fail without any slip"; exit 1; }
digest "$work/digest.orig" || { cat "$work/digest.orig"; exit 1; }

# The slips: "[FILE: ]function: description", "-old line", "+new line"
# (blank lines and comments between them); FILE is a path under src/,
# src/glu.cpp when it is left out.  Prints the file of slip number $1.
slipfile() {
    grep -E '^[^-+#]' "$list" | sed -n "${1}p" |
        sed -n 's|^\(src/[^: ]*\): .*|\1|p; t; s|.*|src/glu.cpp|p'
}
# Writes that file with slip number $1 made in its function, or says why
# it cannot.
mutate() {
    awk -v want="$1" -v list="$list" '
        function trim(s) { sub(/^[ \t]+/, "", s); return s }
        BEGIN {
            n = 0
            while ((getline line < list) > 0) {
                if (line ~ /^#/ || line == "") continue
                if (line ~ /^-/) { old = trim(substr(line, 2)); continue }
                if (line ~ /^\+/) { if (n == want) { from = old; to = trim(substr(line, 2)) }; continue }
                n++
                if (n == want) { fn = line; sub(/^src\/[^: ]*: /, "", fn); sub(/:.*/, "", fn) }
            }
            if (from == "") { print "no slip " want > "/dev/stderr"; exit 2 }
        }
        # The function: from its definition (a line at column 0 naming it)
        # to the first "}" at column 0.
        !inside && !done && $0 ~ ("^[A-Za-z].*[ *]" fn "\\(") && $0 !~ /;$/ { inside = 1 }
        inside && $0 == "}" { inside = 0; done = 1 }
        {
            if (inside && !found && trim($0) == from) {
                found = 1
                match($0, /^[ \t]*/)
                print substr($0, 1, RLENGTH) to
            } else {
                print
            }
        }
        END { if (!found) { print "no such line in " fn ": " from > "/dev/stderr"; exit 2 } }
    ' "$work/orig/${2#src/}"
}

total=$(grep -c -E '^[^-+#]' "$list")
caught=0 missed=0 broken=0 i=0
while [ "$i" -lt "$total" ]; do
    i=$((i + 1))
    what=$(grep -E '^[^-+#]' "$list" | sed -n "${i}p")
    file=$(slipfile "$i")
    target=$work/tree/$file
    if [ ! -f "$work/orig/${file#src/}" ] || ! mutate "$i" "$file" >"$target.new" 2>"$work/mutate.log" ||
        ! mv "$target.new" "$target"; then
        echo "BROKEN  $what: $(cat "$work/mutate.log" 2>/dev/null || echo "no file $file")"
        rm -f "$target.new"
        broken=$((broken + 1))
        continue
    fi
    # The library, and the fast tests when the compatibility archive they
    # link has changed (a change of the shared library alone relinks
    # nothing).  The previous slip's file is back as it was, so this also
    # undoes that slip.
    if ! cmake --build "$build" --target softglu softglu_tests softglu_corpus >"$work/slip.log" 2>&1; then
        echo "BROKEN  $what: does not compile"
        sed -n '/error/p' "$work/slip.log" | head -3 >&2
        broken=$((broken + 1))
        cp "$work/orig/${file#src/}" "$target" || exit 1
        continue
    fi
    if ! digest "$work/digest.slip"; then
        changes="crashes"
    elif cmp -s "$work/digest.orig" "$work/digest.slip"; then
        changes="changes nothing in the broad set"
    else
        changes="changes the stream"
    fi
    if fast; then
        echo "MISSED  $what ($changes)"
        missed=$((missed + 1))
    else
        echo "caught  $what"
        caught=$((caught + 1))
    fi
    cp "$work/orig/${file#src/}" "$target" || exit 1
done

echo "mutants: $caught of $total slips caught, $missed missed, $broken do not apply"
[ "$missed" -eq 0 ] && [ "$broken" -eq 0 ]
