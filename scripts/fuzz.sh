#!/usr/bin/env bash
# libFuzzer targets, built with clang into build-fuzz/:
#   scripts/fuzz.sh TARGET SECONDS   runs one target (line_params, text_convert, settings,
#                                    portsim_options) for that long
#   scripts/fuzz.sh all SECONDS      runs each in turn
# Each starts from its seeds in fuzz/corpus/TARGET and grows its own corpus in
# build-fuzz/corpus/TARGET; a crash, a sanitizer report or a broken invariant ends the
# run with a failure and leaves the input in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:-all}
seconds=${2:-60}
all=(line_params text_convert settings portsim_options)
case "$target" in
  all) targets=("${all[@]}") ;;
  line_params | text_convert | settings | portsim_options) targets=("$target") ;;
  *) echo "fuzz: one of ${all[*]} or all, not '$target'" >&2; exit 2 ;;
esac
scripts/setup.sh
cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-fuzz
export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1 halt_on_error=1"
for t in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$t" build-fuzz/artifacts
  echo "fuzz: $t for $seconds s"
  "build-fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
    -artifact_prefix="build-fuzz/artifacts/$t-" "build-fuzz/corpus/$t" "fuzz/corpus/$t"
done
