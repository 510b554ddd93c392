#!/bin/sh
# SPDX-License-Identifier: MIT
# run.sh HOSTBUILD WORK: the benchmark table of BENCHMARKS.md (make bench):
# softglu's calls (Google Benchmark), the tessellator and then earcut on the
# same polygons, whose points go to WORK (bench/earcut.py), and callgrind's
# instruction counts (bench/callgrind.sh); then the real shapes beside
# earcut's C++ header (bench/realshapes.cpp, built by make bench) and their
# instruction counts (bench/realshapes-count.sh).
set -eu
[ $# -eq 2 ] || { echo "usage: run.sh HOSTBUILD WORK" >&2; exit 2; }
build=$1 work=$2
here=$(dirname "$0")
"$build/bench/softglu_bench" --benchmark_enable_random_interleaving=true
mkdir -p "$work"
"$build/bench/softglu_tess_bench" --shapes="$work" --benchmark_out="$work/softglu.json" --benchmark_out_format=json
"$here/earcut.py" "$work" "$work/softglu.json"
"$here/callgrind.sh" "$build/bench/softglu_callone"
"$build/bench/softglu_realshapes"
"$here/realshapes-count.sh" "$build/bench/softglu_realshapes"
