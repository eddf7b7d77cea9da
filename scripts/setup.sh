#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Yorvane needs.
# Idempotent and non-interactive; runs apt only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  gettext   # msgfmt: the Japanese messages (po/ja.po)
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev zlib1g-dev libstb-dev
  liblz4-dev   # the pages kept for going back one page
  libsdl2-dev libimgui-dev
  libfreetype-dev libfontconfig-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev
  libfluidsynth-dev timgm6mb-soundfont
  fonts-ipafont-gothic fonts-ipafont-mincho
  xvfb xauth xdotool
  lintian   # the package check (scripts/package.sh --check)
  appstream desktop-file-utils   # the checks of the software-centre metadata and the desktop entry
  clang   # the thread-safety analysis build (.ci/run) and the fuzz targets
  openbox wmctrl x11-apps xclip   # the window tests: a window manager, its full screen, xwd screenshots, the clipboard
  x11-xserver-utils   # xrdb: the window tests on a desktop of scale 2 (Xft.dpi)
  python3 lua5.4   # the step benchmark's peers (bench/step_compare.sh)
  speech-dispatcher libspeechd2   # the reading-aloud test against a real service (dlopened, not linked)
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
