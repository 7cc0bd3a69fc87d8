#!/usr/bin/env bash
# Builds libFuzzer targets with the `fuzz` preset (clang, AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs them for a given time.
#
#   scripts/fuzz.sh TARGET SECONDS      e.g. scripts/fuzz.sh layouts_file 120
#   scripts/fuzz.sh all SECONDS         every target in turn, SECONDS each, with a summary line per target
#
# The targets are fuzz/TARGET_fuzzer.cpp. The seeds in fuzz/corpus/TARGET/ are read, never written;
# inputs the fuzzer finds interesting go to fuzz/findings/TARGET/corpus/ and crashing inputs to
# fuzz/findings/TARGET/ (git-ignored). With `all`, each target's output goes to
# fuzz/findings/TARGET/last-run.log. Replay a crash with: build/fuzz/fuzz/TARGET_fuzzer fuzz/findings/TARGET/crash-...
set -euo pipefail

if [[ $# -ne 2 || ! $2 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 TARGET|all SECONDS" >&2
  exit 2
fi
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)

targets=()
if [[ $1 == all ]]; then
  for source in "$root"/fuzz/*_fuzzer.cpp; do
    name=$(basename "$source" _fuzzer.cpp)
    [[ -d $root/fuzz/corpus/$name ]] && targets+=("$name")
  done
else
  targets=("$1")
fi
for target in "${targets[@]}"; do
  if [[ ! -d $root/fuzz/corpus/$target ]]; then
    echo "$0: no seed corpus at $root/fuzz/corpus/$target" >&2
    exit 2
  fi
done

cd "$root"
scripts/setup.sh --fuzz
cmake --preset fuzz >/dev/null
cmake --build build/fuzz -j2 --target "${targets[@]/%/_fuzzer}"

# The libFuzzer options for one target.
options_for() {
  local target=$1 findings="$root/fuzz/findings/$1"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$findings/")
  if [[ -f $root/fuzz/$target.dict ]]; then
    options+=(-dict="$root/fuzz/$target.dict")
  fi
}

if [[ $1 != all ]]; then
  target=$1
  findings="$root/fuzz/findings/$target"
  mkdir -p "$findings/corpus"
  options_for "$target"
  exec "build/fuzz/fuzz/${target}_fuzzer" "${options[@]}" "$findings/corpus" "fuzz/corpus/$target"
fi

# Every target in turn; one line each: executions, new corpus entries, crash found.
final_stat() { sed -n "s/^stat::$1: *//p" "$log" | tail -1; }
failed=0
summary=()
for target in "${targets[@]}"; do
  findings="$root/fuzz/findings/$target"
  mkdir -p "$findings/corpus"
  options_for "$target"
  log="$findings/last-run.log"
  echo "fuzzing $target for $seconds s (output in $log)" >&2
  status=0
  "build/fuzz/fuzz/${target}_fuzzer" "${options[@]}" "$findings/corpus" "fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  executions=$(final_stat number_of_executed_units)
  per_second=$(final_stat average_exec_per_sec)
  added=$(final_stat new_units_added)
  artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -1)
  if [[ -n $artifact ]]; then
    found="crash: $artifact"
    failed=1
  elif [[ $status -ne 0 ]]; then
    found="stopped with status $status, see $log"
    failed=1
  else
    found="no crash"
  fi
  summary+=("$target: ${executions:-?} executions (${per_second:-?}/s), ${added:-?} new corpus entries, $found")
done
printf '%s\n' "${summary[@]}"
exit "$failed"
