#!/usr/bin/env bash
# Runs a busy game with both debug windows open under ThreadSanitizer in a virtual X display and
# reports the races it finds, telling those with a frame in our own code from the rest.
#   scripts/tsan_run.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-30}
command -v xvfb-run >/dev/null || { echo "xvfb-run missing (scripts/setup.sh)" >&2; exit 1; }
cmake -S . -B build-tsan -G Ninja -DYORVANE_TSAN=ON -DYORVANE_TESTS=OFF -DYORVANE_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-tsan -j"$(nproc)" --target yorvane >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
game=$work/game
mkdir -p "$game"
cp examples/demo/chime.wav examples/demo/tune.mid examples/demo/sky.png "$game/"
printf '[DebugWindow]\r\nDebug=1\r\nDebugPrev=1\r\n[MCI]\r\nWave=1\r\nMidi=1\r\n' >"$game/start.ini"
# Every thread busy at once: the interpreter assigning and drawing (the monitor's rows and the
# preview's screens change all the time), music and a bell on the audio thread, fades presenting.
cat >"$game/script.txt" <<'S'
#openplaymcimidi("tune.mid", 1);
#loadimage(2, "sky.png");
@1 = 0;
|top:
@1 += 1;
@2 = @1 * 7;
@5 += 1;
@B = "tick " + @1;
#fillclr(3, rgb(@5 * 80, 40, 200));
#bitblt(1, 0, 0, 640, 480, 2, 0, 0, 0);
#fillclr(4, rgb(40, @5 * 80, 40));
#if(@5 >= 3)
{
	@5 = 0;
	#playwave("chime.wav", 0, 0);
	@901 = @1;
	#systemsave();
}
#transfade(0, 32, 256);
#wait(30);
#goto("top");
S
sed -i 's/$/\r/' "$game/script.txt"

log=$work/tsan
export TSAN_OPTIONS="log_path=$log halt_on_error=0 second_deadlock_stack=1"
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
unset SDL_VIDEODRIVER
# Halfway through, the three windows must be up and the game going (it saves as it loops).
xvfb-run -a -s '-screen 0 1920x1200x24' bash -c "
  build-tsan/yorvane --debug '$game' & pid=\$!
  sleep \$(($secs / 2))
  for n in 'Debug Window ver 0.1' 'Debug FuncPreview Window ver 0.1'; do
    xdotool search --name \"\$n\" >/dev/null && echo \"open: \$n\" || echo \"missing: \$n\"
  done
  sleep \$(($secs - $secs / 2)); kill -TERM \$pid; wait \$pid" || true
[ -f "$game/system.dat" ] && echo "the game ran its loop (system.dat written)" || echo "the game never reached its loop"

shopt -s nullglob
reports=$(cat "$log".* 2>/dev/null | grep -c '^WARNING: ThreadSanitizer' || true)
# A report is ours when the place it names (its SUMMARY line) is in our sources; races inside the
# uninstrumented software GL driver and audio libraries are theirs.
ours=$(cat "$log".* 2>/dev/null | grep '^SUMMARY: ThreadSanitizer' | grep -c -e '/src/' -e '(yorvane+' || true)
cat "$log".* 2>/dev/null | grep '^SUMMARY: ThreadSanitizer' | sort | uniq -c | sort -rn | head -20 || true
echo "ThreadSanitizer over ${secs} s with both debug windows: $reports reports, $ours with a frame in our code"
if [ "$ours" -gt 0 ]; then
  for f in "$log".*; do cat "$f"; done
  exit 1
fi
