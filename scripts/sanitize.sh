#!/usr/bin/env bash
# Sanitizer builds, each in its own folder:
#   scripts/sanitize.sh thread   the library, the bench and their tests under ThreadSanitizer
#   scripts/sanitize.sh address  everything, the window tests included, under
#                                AddressSanitizer and UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:-thread}
scripts/setup.sh
case "$kind" in
  thread) gui=OFF; label=(-L library) ;;
  address) gui=ON; label=() ;;
  *) echo "sanitize: thread or address, not '$kind'" >&2; exit 2 ;;
esac
cmake -S . -B "build-$kind" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPORTBENCH_SANITIZE="$kind" \
  -DPORTBENCH_BUILD_GUI="$gui" -DPORTBENCH_BUILD_BENCH=OFF
cmake --build "build-$kind"
cd "build-$kind"
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1 halt_on_error=1"
ctest --output-on-failure -j2 "${label[@]}"
