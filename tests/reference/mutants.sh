#!/bin/sh
# SPDX-License-Identifier: MIT
# mutants.sh [WORK]: proves the fast tests catch precision and ordering
# slips in the library and the compatibility layer.  For each slip of
# tests/reference/mutants.txt it rewrites one line of a copy of the sources (src/glu.cpp
# unless the slip names another file), rebuilds what that file goes into
# (the library alone, the compatibility archive and the fast tests that
# link it, or both for src/disk.h), and runs the fast tests: the unit tests
# and the reference replay.  A slip is caught when either fails.  For a
# slip they miss it hashes the stream of a broad set of other calls
# (softglu_corpus digest) to tell whether the slip changes the stream at
# all.  Exit status 1 if any
# slip is missed or a slip no longer applies, 2 if WORK is a directory of
# something else; WORK defaults to build/mutants.
set -u
src=$(cd "$(dirname "$0")/../.." && pwd)
work=${1:-$src/build/mutants}
list=$src/tests/reference/mutants.txt
jobs=$(nproc 2>/dev/null || echo 2)

say() { echo "$*" >&2; }

# Each worker has a copy of the sources, their originals and a build of
# the fast tests: each slip rewrites one file of its worker's copy, which
# is put back afterwards.  There is one worker per core, since a slip's
# rebuild and tests run on one core, and each takes the next slip no worker
# has taken yet: the slips' costs differ too much to deal them out in turn
# (a slip of a large file takes many times a small one's rebuild).
# WORK is emptied only when it is a previous run's (it holds the mark).
if [ -e "$work" ] && [ -n "$(ls -A "$work" 2>/dev/null)" ] && [ ! -e "$work/.mutants" ]; then
    say "mutants: $work exists and is not a previous run's work directory; give another"
    exit 2
fi
rm -rf "$work" && mkdir -p "$work" && : >"$work/.mutants" || exit 1

# The preset "mutants": the fast tests only, no relinking of programs when
# only the shared library changed, and Ninja, whose check of what is
# already up to date takes a fraction of a second where Make's took two
# (most of a slip's time, after the one file's rebuild).
prepare() {
    w=$work/$1
    mkdir -p "$w/tree" || return 1
    for part in CMakeLists.txt CMakePresets.json cmake examples include recording-gl src tests tools; do
        cp -R "$src/$part" "$w/tree/" || return 1
    done
    cp -R "$w/tree/src" "$w/orig" || return 1
    say "mutants: building the fast tests in $w/build"
    cmake -S "$w/tree" --preset mutants -B "$w/build" >"$w/configure.log" 2>&1 &&
        cmake --build "$w/build" -j"$jobs" --target softglu_tests softglu_tess_budgets softglu_corpus softglu_reference \
            >"$w/build.log" 2>&1 || { cat "$w/configure.log" "$w/build.log"; return 1; }
}

# The fast tests of worker $1, each 0 when it passes: the unit tests and
# the reference replay.  The tessellator's unit tests are left out, but
# for its table of corners (milliseconds): they would take most of each
# run, and the reference replay holds the tessellator's cases.  Then its
# budgets, reached in a build of their own (tests/CMakeLists.txt).
unit() {
    timeout 120 "$work/$1/build/tests/softglu_tests" --gtest_brief=1 --gtest_filter='-Tessellator.*' >"$work/$1/tests.log" 2>&1 &&
        timeout 120 "$work/$1/build/tests/softglu_tess_budgets" --gtest_brief=1 --gtest_filter='TessellatorBudgets.*' \
            >>"$work/$1/tests.log" 2>&1
}
replay() {
    timeout 120 "$work/$1/build/tests/softglu_corpus" replay "$work/$1/build/tests/reference" >"$work/$1/replay.log" 2>&1
}
fast() { unit "$1" && replay "$1"; }
digest() { timeout 120 "$work/$1/build/tests/softglu_corpus" digest >"$2" 2>&1; }

workers=$jobs
n=1
while [ "$n" -le "$workers" ]; do
    prepare "w$n" || exit 1
    fast "w$n" || { cat "$work/w$n/tests.log" "$work/w$n/replay.log"; say "mutants: the fast tests fail without any slip"; exit 1; }
    n=$((n + 1))
done
digest w1 "$work/digest.orig" || { cat "$work/digest.orig"; exit 1; }

# The slips: "[FILE: ]function: description", "-old line", "+new line"
# (blank lines and comments between them); FILE is a path under src/,
# src/glu.cpp when it is left out.  Prints the file of slip number $1.
slipfile() {
    grep -E '^[^-+#]' "$list" | sed -n "${1}p" |
        sed -n 's|^\(src/[^: ]*\): .*|\1|p; t; s|.*|src/glu.cpp|p'
}
# Writes that file (of the originals in $3) with slip number $1 made in
# its function, or says why it cannot.
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
    ' "$3/${2#src/}"
}

total=$(grep -c -E '^[^-+#]' "$list")

# build DIR TARGET...: builds those targets of worker DIR's build, the
# output in DIR/slip.log.
build() {
    d=$1
    shift
    cmake --build "$d/build" --target "$@" >"$d/slip.log" 2>&1
}

# Worker $1 takes each slip that no worker has taken yet (mkdir of
# WORK/taken/NUMBER succeeds for one of them only) and writes one line per
# slip, "NUMBER VERDICT  description", to its results.
slips() {
    w=$work/w$1
    i=0
    while [ "$i" -lt "$total" ]; do
        i=$((i + 1))
        mkdir "$work/taken/$i" 2>/dev/null || continue
        what=$(grep -E '^[^-+#]' "$list" | sed -n "${i}p")
        file=$(slipfile "$i")
        target=$w/tree/$file
        if [ ! -f "$w/orig/${file#src/}" ] || ! mutate "$i" "$file" "$w/orig" >"$target.new" 2>"$w/mutate.log" ||
            ! mv "$target.new" "$target"; then
            echo "$i BROKEN  $what: $(cat "$w/mutate.log" 2>/dev/null || echo "no file $file")"
            rm -f "$target.new"
            continue
        fi
        # The library, and a fast test's program when the compatibility
        # archive it links has changed (a change of the shared library alone
        # relinks nothing).  The previous slip's file is back as it was, so
        # this also undoes that slip.  The replay first: it catches most
        # slips, and the unit tests' program is relinked only for a slip it
        # misses.  (caught-by records which caught each slip.)
        if ! build "$w" softglu softglu_corpus; then
            echo "$i BROKEN  $what: does not compile"
            sed -n '/error/p' "$w/slip.log" | head -3 >&2
        elif ! replay "w$1"; then
            echo "$i replay" >>"$w/caught-by" || return 1
            echo "$i caught  $what"
        elif ! build "$w" softglu_tests softglu_tess_budgets; then
            echo "$i BROKEN  $what: does not compile"
            sed -n '/error/p' "$w/slip.log" | head -3 >&2
        elif ! unit "w$1"; then
            echo "$i unit" >>"$w/caught-by" || return 1
            echo "$i caught  $what"
        else
            # Missed: does the slip change any stream at all?
            if ! digest "w$1" "$w/digest.slip"; then
                changes="crashes"
            elif cmp -s "$work/digest.orig" "$w/digest.slip"; then
                changes="changes nothing in the broad set"
            else
                changes="changes the stream"
            fi
            echo "$i MISSED  $what ($changes)"
        fi
        cp "$w/orig/${file#src/}" "$target" || return 1
    done
}

mkdir "$work/taken" || exit 1
n=1 pids=
while [ "$n" -le "$workers" ]; do
    slips "$n" >"$work/w$n/results" &
    pids="$pids $!"
    n=$((n + 1))
done
failed=0
for pid in $pids; do
    wait "$pid" || failed=1
done
[ "$failed" -eq 0 ] || { say "mutants: a worker could not restore its sources or record its verdicts"; exit 1; }

# The verdicts in the order of the list.
cat "$work"/w*/results | sort -n -k1,1 | cut -d' ' -f2- >"$work/results" || exit 1
cat "$work/results"
caught=$(grep -c '^caught ' "$work/results")
missed=$(grep -c '^MISSED ' "$work/results")
broken=$(grep -c '^BROKEN ' "$work/results")
[ $((caught + missed + broken)) -eq "$total" ] || { say "mutants: $total slips, but $((caught + missed + broken)) verdicts"; exit 1; }
echo "mutants: $caught of $total slips caught, $missed missed, $broken do not apply"
[ "$missed" -eq 0 ] && [ "$broken" -eq 0 ]
