#!/usr/bin/env bash
# Screenshots of the main window (a movie with every node kind, notes and a selection) and of the message box,
# taken under Xvfb. Usage: scripts/screenshots.sh [build folder] [output folder]
# The pictures come out as <output>/main_window.png, <output>/context_menu.png and <output>/message_box.png
# (default: <build>/screenshots).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
out=${2:-$build/screenshots}
ninja -C "$build" ui_screenshots >/dev/null
home=$(mktemp -d /tmp/kl-shots-XXXXXX)
trap 'rm -rf "$home"' EXIT
mkdir -p "$out"
KINOLOOP_HOME="$home" KINOLOOP_INSTANCE="kl-shots-$$" \
  bash "$here/scripts/test-env.sh" "$build/tests/ui_screenshots" "$(cd "$out" && pwd)"
