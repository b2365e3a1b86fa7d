#!/usr/bin/env bash
# Runs a command with what the tests need around it: Xvfb on a free display and a PulseAudio daemon with a
# null sink "kl_sink" whose monitor is the default source. Both are stopped afterwards, whatever the command does.
set -uo pipefail

display=99
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
Xvfb ":${display}" -screen 0 1920x1080x24 -nolisten tcp -noreset >/tmp/kl-xvfb-$$.log 2>&1 &
xvfb_pid=$!

export XDG_RUNTIME_DIR=$(mktemp -d /tmp/kl-xdg-XXXXXX)
chmod 700 "$XDG_RUNTIME_DIR"
export PULSE_RUNTIME_PATH="$XDG_RUNTIME_DIR/pulse"
pulse_log="$XDG_RUNTIME_DIR/pulse.log"

cleanup() {
  pulseaudio --kill >/dev/null 2>&1 || true
  kill "$xvfb_pid" >/dev/null 2>&1 || true
  wait "$xvfb_pid" 2>/dev/null || true
  rm -rf "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT

for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display}" ] && break; sleep 0.1; done
export DISPLAY=":${display}"

if command -v pulseaudio >/dev/null; then
  pulseaudio --daemonize=yes --exit-idle-time=-1 --disallow-exit --log-target="file:$pulse_log" >/dev/null 2>&1 || true
  for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  if pactl info >/dev/null 2>&1; then
    pactl list short sinks | grep -q kl_sink ||
      pactl load-module module-null-sink sink_name=kl_sink rate=22050 channels=2 >/dev/null
    pactl set-default-sink kl_sink
    pactl set-default-source kl_sink.monitor
    export KINOLOOP_PULSE=1
  else
    echo "test-env: PulseAudio did not start; sound tests will report it (log: $pulse_log)" >&2
  fi
fi

"$@"
