#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kinoloop. Without a simulator set up, Kinoloop's program folder is
# set up for the demo simulator and the demo movie opens.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
build=${KINOLOOP_BUILD_DIR:-$root/build}
program="$build/bin"
# A program folder without settings is pointed at the demo simulator built beside Kinoloop.
bash "$root/scripts/setup-demo-home.sh" "$program"
if [ -f "$program/Sav/demo.knloop" ]; then
  exec "$program/kinoloop" "$program/Sav/demo.knloop"
fi
exec "$program/kinoloop"
