#!/bin/sh
# SPDX-License-Identifier: MIT
# check_prebuilt.sh BUILD WORK: Debian's own prebuilt software on the classic
# libGLU.so.1 of BUILD (BUILD/classic), in a private mount namespace where
# every libGLU.so.1 the loader knows, and GL/glu.h, is a poison file.
#   - libglc0 and xscreensaver-gl are fetched with apt-get download and
#     unpacked with dpkg -x into WORK/root: never installed.
#   - Without the classic directory the loader meets the poison and
#     libGLC.so.0 does not load (the namespace is sound).
#   - glyphs (tests/build/prebuilt/glyphs.c) loads libGLC.so.0 with RTLD_NOW
#     against the classic object and draws text filled (tessellated through
#     gluTess*) and outlined into WORK/glyphs.png: most of the filled
#     text's pixels lie inside a glyph, almost none of the outlines'.
#   - polyhedra, a prebuilt GL hack that records libGLU.so.1 and
#     tessellates its star faces, draws the small stellated dodecahedron on
#     Xvfb with LD_LIBRARY_PATH: WORK/polyhedra.png, a screenshot, holds a
#     shaded shape; then softglu-trace --run, which finds the classic
#     object by itself, lists its calls until it is killed.
#   - Each process maps BUILD's classic libGLU.so.1 and no other.
# Needs root (the namespace).  Where the packages cannot be had it says so
# and exits 77.  Status and failures go to standard error.
set -u
[ $# -eq 2 ] || [ $# -eq 3 ] || { echo "usage: check_prebuilt.sh BUILD WORK" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
say() { echo "prebuilt: $*" >&2; }
bad() { echo "FAIL: prebuilt: $*" >&2; fail=1; }
skip() { echo "skipped: prebuilt: $*" >&2; exit 77; }
fail=0

# Outside: a fresh WORK and the namespace, in which this script runs again.
if [ "${3:-}" != --inside ]; then
    [ "$(id -u)" -eq 0 ] || skip "the private mount namespace needs root"
    [ -f "$1/classic/libGLU.so.1" ] || { echo "FAIL: prebuilt: no $1/classic/libGLU.so.1" >&2; exit 1; }
    rm -rf "$2" && mkdir -p "$2" || exit 1
    build=$(cd "$1" && pwd) work=$(cd "$2" && pwd)
    exec unshare --mount --propagation private sh "$0" "$build" "$work" --inside
fi
build=$1 work=$2
start=$(date +%s)
unset LD_LIBRARY_PATH LD_PRELOAD
classic=$build/classic
object=$(readlink -f "$classic/libGLU.so.1")
root=$work/root
multiarch=$(${CC:-cc} -print-multiarch)

# 1. The poison, over each libGLU.so.1 the loader's cache names, the real
#    file behind it and the system's GL/glu.h: mounted, then proved there
#    by device and inode (never by reading the file).
echo "poisoned by softglu's test: $0" >"$work/poison" || exit 1
poisoned=$(stat -c %d:%i "$work/poison")
targets=$( (ldconfig -p | sed -n 's/^[[:space:]]*libGLU\.so\.1 (.*) => //p'
    echo "/usr/lib/$multiarch/libGLU.so.1"; echo /usr/include/GL/glu.h) | sort -u)
for path in $targets; do
    for target in "$path" "$(readlink -f "$path")"; do
        [ -e "$target" ] || continue
        [ "$(stat -L -c %d:%i "$target")" = "$poisoned" ] && continue
        mount --bind "$work/poison" "$target" || { echo "FAIL: prebuilt: cannot poison $target" >&2; exit 1; }
    done
    [ ! -e "$path" ] || [ "$(stat -L -c %d:%i "$path")" = "$poisoned" ] ||
        { echo "FAIL: prebuilt: $path is not the poison" >&2; exit 1; }
done

# Kills what this script started (by pid) when it ends.
pids=""
trap 'for p in $pids; do kill "$p" 2>/dev/null; done' EXIT
trap 'exit 1' HUP INT TERM

# 2. The packages: downloaded (apt-get update first when apt knows none of
#    them), tried again while the mirror is being synced, then unpacked.
# shellcheck source=scripts/apt.sh
. "$here/../../scripts/apt.sh"
packages="libglc0 xscreensaver-gl"
# shellcheck disable=SC2086
apt-cache show $packages >/dev/null 2>&1 || apt_update
fetch() {
    for p in $packages; do
        ls "$work/$p"_*.deb >/dev/null 2>&1 || (cd "$work" && apt_download "$p") 2>>"$work/apt.log" || return 1
    done
}
for attempt in 1 2 3; do
    fetch && break
    if [ $attempt -lt 3 ] && grep -q -e 'Mirror sync in progress' -e 'Hash Sum mismatch' "$work/apt.log"; then
        say "the mirror is being synced (attempt $attempt); again in 20 s"
        sleep 20
    else
        cat "$work/apt.log" >&2
        skip "cannot download $packages: no Debian mirror to be had"
    fi
done
for deb in "$work"/*.deb; do
    dpkg -x "$deb" "$root" || { echo "FAIL: prebuilt: cannot unpack $deb" >&2; exit 1; }
done
hack=$root/usr/libexec/xscreensaver/polyhedra
readelf -d "$hack" | grep -q 'NEEDED.*\[libGLU\.so\.1\]' || bad "polyhedra does not record libGLU.so.1"

# maps NAME: the paths on standard input, those of the libGLU.so* that NAME
# maps, are BUILD's object alone.
maps() {
    mapped=$(sort -u | tr '\n' ' ')
    [ "$mapped" = "$object " ] || bad "$1 maps '$mapped', not $object alone"
}
mapped() { awk '$6 ~ /\/libGLU\.so/ { print $6 }' "/proc/$1/maps"; }

# 3. libGLC.so.0: refused by the poison, then loaded on the classic object.
libs=$root/usr/lib/$multiarch
${CC:-cc} -Wall -Wextra -Werror -rdynamic -o "$work/glyphs" "$here/prebuilt/glyphs.c" -lOSMesa -lpng \
    2>"$work/cc.log" || { cat "$work/cc.log" >&2; echo "FAIL: prebuilt: cannot build glyphs" >&2; exit 1; }
if LD_LIBRARY_PATH=$libs "$work/glyphs" "$work/poisoned.png" >/dev/null 2>"$work/poisoned.log"; then
    bad "libGLC.so.0 loaded without softglu's libGLU.so.1: the poison did not hold"
elif ! grep -q 'libGLU\.so\.1: \(file too short\|invalid ELF header\)' "$work/poisoned.log"; then
    cat "$work/poisoned.log" >&2
    bad "without softglu's libGLU.so.1, glyphs did not stop on the poison"
fi
if LD_LIBRARY_PATH=$classic:$libs "$work/glyphs" "$work/glyphs.png" >"$work/glyphs.txt" 2>"$work/glyphs.log"; then
    sed -n 's/^map //p' "$work/glyphs.txt" | maps glyphs
    filled=$(sed -n 's/^filled //p' "$work/glyphs.txt") outlined=$(sed -n 's/^outlined //p' "$work/glyphs.txt")
    awk -v f="$filled" -v o="$outlined" 'BEGIN { exit !(f >= 0.5 && o <= 0.1) }' ||
        bad "libGLC's glyphs are not filled: $filled of the filled text's pixels inside a glyph, $outlined of the outlines'"
else
    cat "$work/glyphs.log" >&2
    bad "libGLC.so.0 did not draw on the classic object"
fi

# 4. polyhedra on Xvfb (a display number of its own choosing).
Xvfb -displayfd 5 -screen 0 640x480x24 -fbdir "$work" -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
pids="$pids $!"
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; echo "FAIL: prebuilt: Xvfb did not start" >&2; exit 1; }
display=$(cat "$work/display")
export DISPLAY=":$display"
shape="Small Stellated Dodecahedron"
LD_LIBRARY_PATH=$classic "$hack" -root -which "$shape" -no-wander >/dev/null 2>"$work/polyhedra.log" &
hack_pid=$!
pids="$pids $hack_pid"
sleep 3
if kill -0 "$hack_pid" 2>/dev/null; then
    mapped "$hack_pid" | maps polyhedra
    # The shape's corner of the screen (the titles are above and left).
    if xwdtopnm "$work/Xvfb_screen0" 2>/dev/null >"$work/polyhedra.ppm" &&
        pnmtopng "$work/polyhedra.ppm" >"$work/polyhedra.png"; then
        stats=$(pamcut -left 200 -top 150 "$work/polyhedra.ppm" | ppmhist -noheader |
            awk '{ n++; total += $5; if ($1 + $2 + $3) lit += $5 } END { print n, lit / total }')
        colours=${stats% *} lit=${stats#* }
        awk -v n="$colours" -v lit="$lit" 'BEGIN { exit !(n >= 3 && lit >= 0.03) }' ||
            bad "polyhedra drew nothing shaded: $colours colours, $lit of the shape's corner lit"
    else
        bad "cannot convert Xvfb's screen to $work/polyhedra.png"
    fi
    kill "$hack_pid"
else
    cat "$work/polyhedra.log" >&2
    bad "polyhedra ended at once on the classic object"
fi
wait $hack_pid 2>/dev/null

# 5. softglu-trace --run on its own (no LD_LIBRARY_PATH), the hack killed
#    after 3 s: the trace says so and exits 128 + 15.
"$build/tools/softglu-trace" --run -o "$work/polyhedra.txt" -- "$hack" -root -which "$shape" -no-wander \
    >/dev/null 2>"$work/trace.log" &
trace_pid=$!
pids="$pids $trace_pid"
sleep 3
hack_pid=$(cat /proc/$trace_pid/task/$trace_pid/children 2>/dev/null | tr -d ' ')
if [ -n "$hack_pid" ]; then
    mapped "$hack_pid" | maps "polyhedra under softglu-trace"
    kill "$hack_pid"
fi
wait $trace_pid
status=$?
if [ $status -eq 143 ] && grep -q 'was killed by signal 15' "$work/trace.log"; then
    for call in 'gluNewTess()' 'gluTessBeginPolygon(' 'gluTessVertex(' 'gluPerspective(' 'gluLookAt(' 'glVertex3dv('; do
        grep -qF "$call" "$work/polyhedra.txt" || bad "softglu-trace --run did not list $call"
    done
else
    cat "$work/trace.log" >&2
    bad "softglu-trace --run ended with status $status, not the kill (143)"
fi

[ $fail -eq 0 ] || exit 1
say "ok in $(($(date +%s) - start)) s: Debian's libGLC.so.0 filled its glyphs ($filled inside) and polyhedra drew" \
    "its $shape on $object, where the system's libGLU.so.1 was poisoned; --run listed" \
    "$(grep -c '^glu' "$work/polyhedra.txt") of its calls; pictures: $work/glyphs.png, $work/polyhedra.png"
