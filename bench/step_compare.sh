#!/usr/bin/env bash
# The step benchmark's loop beside the same loop in Python 3 and Lua (when installed): nanoseconds
# per statement and the ratio to ours. A benchmark, not a test: figures move with the load, so run
# it on a quiet machine and more than once.
#   bench/step_compare.sh [BUILD_DIR]   (default build; needs step_bench built with YORVANE_BENCH=ON)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
rounds=2000000

ours_1kb="" ours_1mb=""
if [ -x "$build/step_bench" ]; then
  # The best of three: the loaded machine only ever makes a run slower.
  out=$("$build/step_bench" --benchmark_repetitions=3 --benchmark_format=csv 2>/dev/null)
  # cpu_time (4th column) is per round of ten statements.
  best() { echo "$out" | awk -F, -v n="\"$1\"" '$1==n {print $4/10}' | sort -n | head -1; }
  ours_1kb=$(best BM_Step_1KB)
  ours_1mb=$(best BM_Step_1MB)
  printf 'yorvane  1 KB script: %6.1f ns per statement (cpu time)\n' "$ours_1kb"
  printf 'yorvane  1 MB script: %6.1f ns per statement (cpu time)\n' "$ours_1mb"
else
  echo "no $build/step_bench (configure with -DYORVANE_BENCH=ON and build it)"
fi

ratio() { [ -n "$ours_1kb" ] && awk -v a="$1" -v b="$ours_1kb" 'BEGIN { printf "  (ours takes %.1f x as long)", b / a }'; echo; }

# Ten statements a round, as in step_bench: two assignments, an if with an assignment in its block,
# a call whose body assigns and returns, two jumps and a wait (here nothing to wait for).
if command -v python3 >/dev/null; then
  ns=$(python3 - "$rounds" <<'PY'
import sys, time
def run(rounds):
    v = [0] * 8
    def sub():
        v[4] += 1
        return
    start = time.process_time_ns()
    for _ in range(rounds):
        v[1] += 1
        v[2] = v[1] * 3 + 7
        if v[1] > 0 and v[2] != 5:
            v[3] = v[2] - 1
        sub()
        wait = 1
    return (time.process_time_ns() - start) / (rounds * 10)
print(f"{min(run(int(sys.argv[1])) for _ in range(3)):.1f}")
PY
)
  printf 'python3  %s: %6.1f ns per statement' "$(python3 --version 2>&1)" "$ns"; ratio "$ns"
fi

for lua in lua5.4 lua luajit; do
  command -v "$lua" >/dev/null || continue
  ns=$("$lua" - "$rounds" <<'LUA'
local rounds = tonumber(arg[1])
local best = math.huge
for _ = 1, 3 do
  local v = {0, 0, 0, 0, 0, 0, 0, 0}
  local function sub() v[4] = v[4] + 1 return end
  local start = os.clock()
  for _ = 1, rounds do
    v[1] = v[1] + 1
    v[2] = v[1] * 3 + 7
    if v[1] > 0 and v[2] ~= 5 then v[3] = v[2] - 1 end
    sub()
    goto next
    ::next::
    local wait = 1
  end
  best = math.min(best, (os.clock() - start) * 1e9 / (rounds * 10))
end
print(string.format("%.1f", best))
LUA
)
  printf '%-8s %6.1f ns per statement' "$lua" "$ns"; ratio "$ns"
  break
done
