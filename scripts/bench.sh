#!/usr/bin/env bash
# Builds the benchmarks in release mode, runs every one and prints one markdown table: each case
# beside the same platform calls made without our own work, with the ratio of the two, under a line
# that names the machine.
#
#   scripts/bench.sh [--min-time SECONDS] [--repetitions N]
#
# Defaults: 0.3 s a benchmark and 7 repetitions, run in random order so that a burst of load from
# elsewhere falls on both sides of a comparison; the median is shown. About three minutes after the
# build. The raw results stay in build/release/bench/results/ (one JSON file per program).
set -euo pipefail
cd "$(dirname "$0")/.."

min_time=0.3
repetitions=7
while [ $# -gt 0 ]; do
  case "$1" in
    --min-time) min_time=${2:?}; shift 2 ;;
    --repetitions) repetitions=${2:?}; shift 2 ;;
    *) echo "usage: scripts/bench.sh [--min-time SECONDS] [--repetitions N]" >&2; exit 2 ;;
  esac
done

# Read before the build adds its own load.
load=$(cut -d' ' -f1-3 /proc/loadavg)

scripts/setup.sh --bench
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target benchmarks >&2

# Google Benchmark 1.8 wants a unit on the minimum time ("0.2s"); 1.7 takes the bare number.
library=$(pkg-config --modversion benchmark 2>/dev/null || dpkg-query -W -f='${Version}' libbenchmark-dev 2>/dev/null || echo "")
min_time_flag=$min_time
case "$library" in
  ""|1.[0-7]|1.[0-7].*) ;;
  *) min_time_flag="${min_time}s" ;;
esac

bench=build/release/bench
results=$bench/results
rm -rf "$results"
mkdir -p "$results"
programs=(inventory planning capture store apply)
for name in "${programs[@]}"; do
  echo "running ${name}_benchmark" >&2
  "$bench/${name}_benchmark" --benchmark_min_time="$min_time_flag" --benchmark_repetitions="$repetitions" \
    --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
    --benchmark_out="$results/$name.json" --benchmark_out_format=json >"$results/$name.txt"
done

files=()
for name in "${programs[@]}"; do files+=("$results/$name.json"); done
compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' build/release/CMakeCache.txt)
python3 scripts/bench_table.py --load "$load" --compiler "$compiler" --library "$library" \
  --repetitions "$repetitions" "${files[@]}"
