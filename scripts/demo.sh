#!/usr/bin/env bash
# Sets up, builds the player (only it: no tests or benchmarks) and plays the demo game from a
# copy in the user's data folder, so the checkout never gets a system.dat or saves. Without a
# display the demo plays itself headless (a click every 800 ms) and leaves a screenshot of its
# last picture.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target yorvane
play="${XDG_DATA_HOME:-$HOME/.local/share}/yorvane/demo"
mkdir -p "$play"
# The game's files are refreshed; what the player made there (system.dat, saves) stays.
for f in examples/demo/*; do
  case "$(basename "$f")" in system.dat|*.sav) continue ;; esac
  cp -p "$f" "$play"/
done
exec ./build/yorvane --auto-click 800 --screenshot "$PWD/demo-screenshot.png" "$play"
