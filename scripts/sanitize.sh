#!/usr/bin/env bash
# Sanitizer builds, each in its own folder:
#   scripts/sanitize.sh thread           the library, the bench and their tests under
#                                        ThreadSanitizer, without the long tests (the
#                                        minute-long stream, the full address guard) and
#                                        without loadcell, whose own code runs on one thread
#   scripts/sanitize.sh address          everything, the window and loadcell with their
#                                        tests included, under AddressSanitizer and
#                                        UndefinedBehaviorSanitizer
#   scripts/sanitize.sh address library  the library, the bench and their tests alone (no
#                                        window, no loadcell, no long tests) under
#                                        AddressSanitizer and UndefinedBehaviorSanitizer,
#                                        in build-address-library
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:-thread}
scope=${2:-}
case "$kind" in
  thread) gui=OFF; label=(-L library -LE long); loadcell=OFF ;;
  address) gui=ON; label=(); loadcell=ON ;;
  *) echo "sanitize: thread or address, not '$kind'" >&2; exit 2 ;;
esac
case "$scope" in
  "") folder="build-$kind" ;;
  library) gui=OFF; loadcell=OFF; label=(-L library -LE long); folder="build-$kind-library" ;;
  *) echo "sanitize: the scope is library or none, not '$scope'" >&2; exit 2 ;;
esac
scripts/setup.sh
cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPORTBENCH_SANITIZE="$kind" \
  -DPORTBENCH_BUILD_GUI="$gui" -DPORTBENCH_BUILD_LOADCELL="$loadcell" -DPORTBENCH_BUILD_BENCH=OFF
cmake --build "$folder"
cd "$folder"
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1 halt_on_error=1"
ctest --output-on-failure -j2 "${label[@]}"
