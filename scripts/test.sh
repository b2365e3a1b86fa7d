#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test (ctest) under Xvfb with a PulseAudio null sink.
# Extra arguments go to ctest, e.g. `bash scripts/test.sh -L model`.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
build=${KINOLOOP_BUILD_DIR:-$root/build}
cd "$build"
bash "$root/scripts/test-env.sh" ctest --output-on-failure --timeout 600 "$@"
