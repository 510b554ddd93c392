#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# earcut.py SHAPES JSON: times earcut (python3-mapbox-earcut, the Python
# binding of mapbox's C++ earcut) on the polygons softglu_tess_bench wrote
# to the directory SHAPES (--shapes), and prints, beside the tessellator's
# medians from that run's JSON output (--benchmark_out), both times, the
# input vertices per second and softglu's time over earcut's.  Both are CPU
# times (the machine is shared), one polygon per call, the median of five
# rounds.  earcut takes one outline with its holes per call, so the glyphs
# are 1000 calls (Python's loop included); the tessellator takes them all
# as one polygon.
import json
import statistics
import sys
import time

try:
    import mapbox_earcut
    import numpy
except ImportError as e:
    sys.exit(f"earcut.py: {e} (make bench installs python3-mapbox-earcut; run with Debian's /usr/bin/python3)")

SHAPES = ["ring/1000", "ring/10000", "ring/30000", "ring/100000", "ring-hole/100000", "glyphs/1000", "star/10000"]
ROUNDS = 5
MIN_ROUND_SECONDS = 0.2


def read_shape(path):
    """The polygons of a shape file, each as earcut's (vertices, ring ends)."""
    polygons, points, ends = [], [], []

    def close():
        if points:
            polygons.append((numpy.array(points, dtype=numpy.float64), numpy.array(ends, dtype=numpy.uint32)))

    try:
        with open(path, encoding="ascii") as f:
            for number, line in enumerate(f, 1):
                word = line.split()
                if word == ["polygon"]:
                    close()
                    points, ends = [], []
                elif word == ["contour"]:
                    ends.append(len(points))
                elif len(word) == 2:
                    points.append((float.fromhex(word[0]), float.fromhex(word[1])))
                    ends[-1] = len(points)
                else:
                    raise ValueError(f"line {number}: '{line.strip()}'")
    except (OSError, ValueError, IndexError) as e:
        sys.exit(f"earcut.py: cannot read {path}: {e}")
    close()
    return polygons


def earcut_seconds(polygons):
    """The median CPU time of one pass over the polygons."""
    rounds = []
    for _ in range(ROUNDS):
        calls, start = 0, time.process_time()
        while True:
            for vertices, ends in polygons:
                mapbox_earcut.triangulate_float64(vertices, ends)
            calls += 1
            spent = time.process_time() - start
            if spent >= MIN_ROUND_SECONDS:
                break
        rounds.append(spent / calls)
    return statistics.median(rounds)


def softglu_seconds(path):
    """Each shape's median CPU time in softglu's benchmark output."""
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
    try:
        with open(path, encoding="utf-8") as f:
            runs = json.load(f)["benchmarks"]
    except (OSError, ValueError, KeyError) as e:
        sys.exit(f"earcut.py: cannot read {path}: {e}")
    times = {}
    for r in runs:
        if r.get("aggregate_name") == "median" and r["run_name"].startswith("gluTess/"):
            name = r["run_name"][len("gluTess/"):].split("/repeats:")[0]
            times[name] = r["cpu_time"] * scale[r["time_unit"]]
    return times


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: earcut.py SHAPES-DIRECTORY SOFTGLU-BENCHMARK-JSON")
    softglu = softglu_seconds(sys.argv[2])
    print("| shape | vertices | softglu | vertices/s | earcut | vertices/s | softglu / earcut | softglu time per vertex, × previous size |")
    print("|---|--:|--:|--:|--:|--:|--:|--:|")
    previous = None
    for name in SHAPES:
        if name not in softglu:
            sys.exit(f"earcut.py: no median for gluTess/{name} in {sys.argv[2]}")
        polygons = read_shape(f"{sys.argv[1]}/{name.replace('/', '-')}.txt")
        n = sum(len(v) for v, _ in polygons)
        print(f"earcut.py: timing earcut on {name}", file=sys.stderr)
        ours, theirs = softglu[name], earcut_seconds(polygons)
        growth = ""
        if name.startswith("ring/") and previous:
            growth = f"{(ours / n) / (previous[1] / previous[0]):.2f}"
        if name.startswith("ring/"):
            previous = (n, ours)
        print(f"| {name} | {n} | {ours * 1e3:.2f} ms | {n / ours / 1e6:.2f} M | {theirs * 1e3:.2f} ms "
              f"| {n / theirs / 1e6:.2f} M | {ours / theirs:.2f} | {growth} |")


main()
