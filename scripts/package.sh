#!/usr/bin/env bash
# Builds the Debian packages into build/ (the player's and its -dbgsym); with --check, also runs
# Debian's package checker lintian on the player's package and fails on any error it reports.
# The maintainer comes from YORVANE_MAINTAINER ("Name <address>"); a check without one uses a
# stand-in, since a release must name a real one.
set -euo pipefail
cd "$(dirname "$0")/.."
check=0
[ "${1:-}" = "--check" ] && check=1
maintainer="${YORVANE_MAINTAINER:-}"
if [ -z "$maintainer" ] && [ "$check" = 1 ]; then maintainer="Yorvane Check <check@yorvane.org>"; fi
bash scripts/build.sh ${maintainer:+"-DYORVANE_MAINTAINER=$maintainer"}
rm -f build/yorvane_*.deb build/yorvane-dbgsym_*.ddeb build/yorvane-dbgsym_*.deb
(cd build && cpack -G DEB >/dev/null)
ls build/yorvane*_*.*deb
if [ "$check" = 1 ]; then
  deb=$(ls build/yorvane_*.deb)
  lintian --fail-on error --no-tag-display-limit "$deb"
  echo "lintian: no errors in $deb"
fi
