#!/usr/bin/env bash
# Builds a libFuzzer target with the `fuzz` preset (clang, AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs it for a given time.
#
#   scripts/fuzz.sh TARGET SECONDS      e.g. scripts/fuzz.sh layouts_file 120
#
# The seeds in fuzz/corpus/TARGET/ are read, never written; inputs the fuzzer finds interesting
# go to fuzz/findings/TARGET/corpus/ and crashing inputs to fuzz/findings/TARGET/ (git-ignored).
# Replay a crash with: build/fuzz/fuzz/TARGET_fuzzer fuzz/findings/TARGET/crash-...
set -euo pipefail

if [[ $# -ne 2 || ! $2 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 TARGET SECONDS" >&2
  exit 2
fi
target=$1
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
seeds="$root/fuzz/corpus/$target"
findings="$root/fuzz/findings/$target"
if [[ ! -d $seeds ]]; then
  echo "$0: no seed corpus at $seeds" >&2
  exit 2
fi

cd "$root"
scripts/setup.sh --fuzz
cmake --preset fuzz >/dev/null
cmake --build build/fuzz --target "${target}_fuzzer" -j2

mkdir -p "$findings/corpus"
options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
         -artifact_prefix="$findings/")
if [[ -f $root/fuzz/$target.dict ]]; then
  options+=(-dict="$root/fuzz/$target.dict")
fi
exec "build/fuzz/fuzz/${target}_fuzzer" "${options[@]}" "$findings/corpus" "$seeds"
