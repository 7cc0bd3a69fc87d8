#!/usr/bin/env bash
# Plays a seeded random timeline against the headless app under AddressSanitizer and
# UndefinedBehaviorSanitizer, checking the invariants after every event, and prints the events
# played, the invariant checks made and the findings.
#
#   scripts/soak.sh [EVENTS] [SEED]     default: 10000 events, seed 20260302
#
# Builds soak_tests with the `sanitize` preset (build/sanitize). QW_SOAK_TRACE=FILE writes every step
# played to FILE. Exit status 0 when nothing was found, 1 otherwise.
set -euo pipefail

events=${1:-10000}
seed=${2:-20260302}
if [[ ! $events =~ ^[0-9]+$ || ! $seed =~ ^[0-9]+$ || $# -gt 2 ]]; then
  echo "usage: $0 [EVENTS] [SEED]" >&2
  exit 2
fi
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$(nproc)" --target soak_tests
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
start=$(date +%s)
status=0
QW_SOAK_EVENTS=$events QW_SOAK_SEED=$seed build/sanitize/tests/soak_tests \
  --gtest_filter='Soak.SeededTimelineKeepsEveryInvariant' --gtest_brief=1 || status=$?
echo "run time: $(( $(date +%s) - start )) s"
exit "$status"
