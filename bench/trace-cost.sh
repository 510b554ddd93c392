#!/bin/sh
# SPDX-License-Identifier: MIT
# trace-cost.sh BUILD [FRAMES]: what softglu-trace --run and --diff cost,
# measured from outside with GNU time (BENCHMARKS.md has the results).
#
#   - zoom (examples/trace: 20 quadrics a frame through Mesa's offscreen GL)
#     drawing FRAMES frames (default 200), untraced, then traced with the
#     listing to a file, plain and --hex: the median of 5 runs of each, in
#     wall and processor seconds (the program's and softglu-trace's
#     together), and the ratio to untraced;
#   - softglu-trace's own peak memory at FRAMES and 10 x FRAMES frames;
#   - --diff on two identical --hex listings of some 100 MB each, against
#     cmp and wc -l reading the same files (all from the page cache, each
#     read once first).
# Temporary files go to a directory of their own, removed at the end; the
# table goes to standard output, progress to standard error.
set -eu
[ $# -ge 1 ] || { echo "usage: trace-cost.sh BUILD [FRAMES]" >&2; exit 2; }
build=$(cd "$1" && pwd)
frames=${2:-200}
trace=$build/tools/softglu-trace
zoom=$build/examples/trace/zoom
[ -x "$trace" ] && [ -x "$zoom" ] || { echo "trace-cost.sh: no softglu-trace or zoom in $build" >&2; exit 2; }
command -v /usr/bin/time >/dev/null || { echo "trace-cost.sh: needs GNU time (package time)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# median CMD...: runs CMD 5 times; prints the median wall and processor
# seconds, "WALL CPU".
median() {
    : >"$work/times"
    for _ in 1 2 3 4 5; do
        /usr/bin/time -f '%e %U %S' -a -o "$work/times" "$@" >/dev/null 2>"$work/err" ||
            { cat "$work/err" >&2; exit 1; }
    done
    wall=$(awk '{print $1}' "$work/times" | sort -n | sed -n 3p)
    cpu=$(awk '{printf "%.2f\n", $2 + $3}' "$work/times" | sort -n | sed -n 3p)
    echo "$wall $cpu"
}

echo "trace-cost.sh: zoom, $frames frames" >&2
set -- $(median "$zoom" -n "$frames" "$work/plain.png")
plainWall=$1 plainCpu=$2
set -- $(median "$trace" --run -o "$work/run.txt" -- "$zoom" -n "$frames" "$work/traced.png")
runWall=$1 runCpu=$2
set -- $(median "$trace" --run --hex -o "$work/hex.txt" -- "$zoom" -n "$frames" "$work/traced.png")
hexWall=$1 hexCpu=$2
size=$(du -m "$work/run.txt" | cut -f1) hexSize=$(du -m "$work/hex.txt" | cut -f1)
calls=$(grep -c '^gl[A-Z]' "$work/run.txt")

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo "| zoom, $frames frames ($calls GL calls) | wall s | ratio | cpu s | ratio | listing |"
echo "|---|--:|--:|--:|--:|--:|"
echo "| untraced | $plainWall | 1 | $plainCpu | 1 | - |"
echo "| --run -o FILE | $runWall | $(ratio "$runWall" "$plainWall") | $runCpu | $(ratio "$runCpu" "$plainCpu") | $size MB |"
echo "| --run --hex -o FILE | $hexWall | $(ratio "$hexWall" "$plainWall") | $hexCpu | $(ratio "$hexCpu" "$plainCpu") | $hexSize MB |"

# softglu-trace's peak, read from /proc once the program has ended: the
# shell run in its place is its child.
peak() {
    "$trace" --run --hex -o "$work/peak.txt" -- sh -c '"$1" -n "$2" "$3" >/dev/null; grep VmHWM /proc/$PPID/status' \
        sh "$zoom" "$1" "$work/peak.png" 2>/dev/null | awk '{print $2}'
}
echo >&2 "trace-cost.sh: peak memory"
echo
echo "| softglu-trace --run --hex, peak memory | $frames frames | $((frames * 10)) frames |"
echo "|---|--:|--:|"
echo "| resident (VmHWM) | $(peak "$frames") kB | $(peak $((frames * 10))) kB |"

# Two listings of about 100 MB: as many frames as that takes.
echo >&2 "trace-cost.sh: --diff"
perFrame=$(( $(wc -c <"$work/hex.txt") / frames ))
big=$(( 105 * 1024 * 1024 / perFrame + 1 ))
"$trace" --run --hex -o "$work/a.txt" -- "$zoom" -n "$big" "$work/big.png" >/dev/null 2>&1
cp "$work/a.txt" "$work/b.txt"
cat "$work/a.txt" "$work/b.txt" | wc -c >/dev/null
set -- $(median "$trace" --diff "$work/a.txt" "$work/b.txt")
diffWall=$1 diffCpu=$2
set -- $(median cmp "$work/a.txt" "$work/b.txt")
cmpWall=$1 cmpCpu=$2
set -- $(median wc -l "$work/a.txt" "$work/b.txt")
wcWall=$1 wcCpu=$2
mb=$(du -m "$work/a.txt" | cut -f1)
echo
echo "| two identical listings of $mb MB | wall s | cpu s |"
echo "|---|--:|--:|"
echo "| softglu-trace --diff | $diffWall | $diffCpu |"
echo "| cmp | $cmpWall | $cmpCpu |"
echo "| wc -l | $wcWall | $wcCpu |"
