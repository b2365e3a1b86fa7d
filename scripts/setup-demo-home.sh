#!/usr/bin/env bash
# Points a Kinoloop program folder at the demo simulator built beside it: writes Opt/settings.ini only when the
# folder has none, so a user's own settings are never replaced.
#   scripts/setup-demo-home.sh [PROGRAM_FOLDER]   (default: $KINOLOOP_HOME, else build/bin)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-${KINOLOOP_HOME:-${KINOLOOP_BUILD_DIR:-$root/build}/bin}}
program=$(cd "$program" && pwd)
settings="$program/Opt/settings.ini"
if [ -e "$settings" ]; then
  echo "setup-demo-home: $settings exists; left as it is"
  exit 0
fi
if [ ! -x "$program/demosim" ]; then
  echo "setup-demo-home: $program/demosim is missing; build first (scripts/build.sh)" >&2
  exit 1
fi
mkdir -p "$program/Opt"
cat >"$settings" <<INI
[settings]
firstrun=0
lfspath=$program/
exeoverride=demosim
windowname=Live for Speed
timeline=10
watermark=1
scale=0
prompts=1
autosave=0
priority=1
audiodevice=0
audiochannel=0
audiovolume=0
[record]
format=STD
fps=25
[insim]
host=127.0.0.1
localport=7001
remoteport=7000
admin=
INI
echo "setup-demo-home: wrote $settings (simulator: $program/demosim)"
