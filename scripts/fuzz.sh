#!/usr/bin/env bash
# Runs every fuzz target for SECONDS each (default 20) from a clang build with the fuzz targets
# (build-fuzz, made here if missing); prints the executions per target, fails on any finding.
#   scripts/fuzz.sh [SECONDS] [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
build="${2:-build-fuzz}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DYORVANE_FUZZ=ON -DYORVANE_SANITIZE=ON -DYORVANE_TESTS=OFF -DYORVANE_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target fuzz_targets

corpus=../shared/corpus
# Extra seed folders per target, from the shared corpus when it is there.
seeds_for() {
  case "$1" in
    png_fuzz) echo "$corpus/pngsuite" ;;
    bmp_fuzz) echo "$corpus/bmpsuite/g $corpus/bmpsuite/q $corpus/bmpsuite/b $corpus/bmpsuite/x" ;;
    script_fuzz|scanners_fuzz|text_table_fuzz|choice_list_fuzz|check_fuzz) echo "$corpus/text" ;;
    *) echo "" ;;
  esac
}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
for src in fuzz/*.cpp; do
  name=$(basename "$src" .cpp)
  bin="$build/$name"
  work="$build/corpus/$name"
  mkdir -p "$work"
  dirs=("$work")
  [ -d "fuzz/seeds/$name" ] && dirs+=("fuzz/seeds/$name")
  for d in $(seeds_for "$name"); do [ -d "$d" ] && dirs+=("$d"); done
  log="$build/$name.log"
  # Text inputs are cut to 8 KB: a whole novel as one script makes every run slow.
  case "$name" in
    script_fuzz|scanners_fuzz|text_table_fuzz|choice_list_fuzz) max_len=8192 ;;
    *) max_len=262144 ;;
  esac
  if "$bin" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
       -artifact_prefix="$build/$name-" "${dirs[@]}" >"$log" 2>&1; then
    status=ok
  else
    status=FAILED
    failed=1
  fi
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  echo "fuzz: $name: $execs executions in ${seconds} s: $status"
  if [ "$status" = FAILED ]; then tail -n 40 "$log"; fi
done
exit $failed
