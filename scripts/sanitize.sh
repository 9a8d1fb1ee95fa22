#!/usr/bin/env bash
# Builds the library, the virtual bench and their tests under a sanitizer and
# runs those tests: `scripts/sanitize.sh thread` or `scripts/sanitize.sh address`.
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:-thread}
scripts/setup.sh
cmake -S . -B "build-$kind" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPORTBENCH_SANITIZE="$kind" \
  -DPORTBENCH_BUILD_GUI=OFF -DPORTBENCH_BUILD_BENCH=OFF
cmake --build "build-$kind"
cd "build-$kind"
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1 halt_on_error=1"
ctest --output-on-failure -j2 -L library
