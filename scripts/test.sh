#!/usr/bin/env bash
# Builds Quiltwright and runs every test.
#   scripts/test.sh              debug build in build/default (build/ci with warnings as errors when CI is set)
#   scripts/test.sh --sanitize   the same under AddressSanitizer and UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."

preset=default
[ -n "${CI:-}" ] && preset=ci
case "${1:-}" in
  "") ;;
  --sanitize) preset=sanitize ;;
  *) echo "usage: scripts/test.sh [--sanitize]" >&2; exit 2 ;;
esac

scripts/setup.sh
jobs=$(nproc)
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$jobs"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --preset "$preset" -j "$jobs"
