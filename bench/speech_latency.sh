#!/usr/bin/env bash
# From a level change (the announcement handed to the speech engine) to its first audible
# sample on a PulseAudio null sink; a plain WAV played with paplay is measured the same way,
# so the recorder's own delay can be told apart.
#   bench/speech_latency.sh build/tests/audio_probe [runs]
set -euo pipefail
probe="$(realpath "$1")"
runs="${2:-5}"
work=$(mktemp -d)
trap 'kill $pa 2>/dev/null || true; pkill -f bin/speech-dispatcher 2>/dev/null || true; rm -rf "$work"' EXIT
pkill -f bin/speech-dispatcher 2>/dev/null || true
export XDG_RUNTIME_DIR="$work/run"; mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
  -L "module-null-sink sink_name=null" -L module-native-protocol-unix >/dev/null 2>&1 & pa=$!
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink null
sox -n -r 44100 -c 1 -b 16 "$work/click.wav" synth 0.3 sine 880 vol 0.5

# Milliseconds from the recording's start to its first loud sample at or after a time.
first_sound() {
  sox -t raw -r 16000 -e signed -b 16 -c 1 "$1" -t dat - 2>/dev/null |
    awk -v from="$2" '!/^;/ && $1 * 1000 >= from { if ($2 > 0.03 || $2 < -0.03) { printf "%d\n", $1 * 1000; exit } }'
}
measure() { # a command that starts a sound and prints the epoch ms at which it did
  parec -d null.monitor --format=s16le --rate=16000 --channels=1 --raw >"$work/rec.raw" & local rec=$!
  local began; began=$(date +%s%3N)
  sleep 0.5
  local at; at=$("$@")
  sleep 3
  kill "$rec"; wait "$rec" 2>/dev/null || true
  local heard; heard=$(first_sound "$work/rec.raw" $(( at - began - 50 )))
  if [ -z "$heard" ]; then echo "not heard"; else echo "$(( began + heard - at )) ms"; fi
}
wav() { date +%s%3N; paplay "$work/click.wav"; }
speech() { "$probe" announce 2>/dev/null | grep -o '[0-9]*$'; }

"$probe" announce >/dev/null 2>&1 || true # the speech server starts once, as on a desktop
for i in $(seq "$runs"); do
  echo "run $i: plain WAV $(measure wav), announcement $(measure speech)"
done
