#!/usr/bin/env bash
# Sets up, builds and plays the demo game. Without a display the demo plays itself headless
# (a click every 800 ms) and leaves a screenshot of its last picture.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
exec ./build/yorvane --auto-click 800 --screenshot "$PWD/demo-screenshot.png" examples/demo
