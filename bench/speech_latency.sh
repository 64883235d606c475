#!/usr/bin/env bash
# From a level change (the announcement handed to the speech engine) to its first audible
# sample, on a private PulseAudio null sink and a private speech server, both under this
# script's own runtime folder and ended by their pids.
#
# The method keeps the sink running with a silent stream, so the recording is one unbroken
# timeline: a sample's position tells when it was played. In the same recording a plain WAV
# is played with paplay first; its delay is the method's own floor.
#   bench/speech_latency.sh build-test/tests/audio_probe [runs] [announcements per run]
set -euo pipefail
probe="$(realpath "$1")"
runs="${2:-5}"
per_run="${3:-6}"
work=$(mktemp -d)
pa=""; keep=""
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"; chmod 700 "$XDG_RUNTIME_DIR"
unset SPEECHD_ADDRESS
pidfile="$XDG_RUNTIME_DIR/speech-dispatcher/pid/speech-dispatcher.pid"
cleanup() {
  [ -f "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null || true
  [ -n "$keep" ] && kill "$keep" 2>/dev/null || true
  [ -n "$pa" ] && kill "$pa" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
  -L "module-null-sink sink_name=null" -L module-native-protocol-unix >/dev/null 2>&1 & pa=$!
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink null
pacat --playback --raw --format=s16le --rate=48000 --channels=2 </dev/zero & keep=$!
sox -n -r 44100 -c 1 -b 16 "$work/click.wav" synth 0.3 sine 880 vol 0.5

# Milliseconds from the recording's start to its first loud sample at or after a time.
first_sound() {
  sox -t raw -r 16000 -e signed -b 16 -c 1 "$1" -t dat - 2>/dev/null |
    awk -v from="$2" '!/^;/ && $1 * 1000 >= from { if ($2 > 0.03 || $2 < -0.03) { printf "%d\n", $1 * 1000; exit } }'  || true
}

"$probe" voices >/dev/null 2>&1 || true # the speech server starts once, as on a desktop
all=()
for i in $(seq "$runs"); do
  parec -d null.monitor --format=s16le --rate=16000 --channels=1 --raw --latency-msec=10 >"$work/rec.raw" &
  rec=$!
  sleep 0.5
  began=$(( $(date +%s%3N) - 500 ))   # parec's first sample, give or take its start-up
  click=$(date +%s%3N); paplay "$work/click.wav"
  "$probe" announce "$per_run" 2>/dev/null | grep -o '[0-9]*$' >"$work/handed" || true
  sleep 2
  kill "$rec"; wait "$rec" 2>/dev/null || true
  # The click gives the recording's offset: its delay is taken as paplay's (a few ms), so
  # what remains is the speech path's own.
  heard_click=$(first_sound "$work/rec.raw" $(( click - began - 300 )))
  [ -n "$heard_click" ] || { echo "run $i: the click was not heard"; continue; }
  offset=$(( began + heard_click - click ))
  line="run $i:"
  while read -r at; do
    heard=$(first_sound "$work/rec.raw" $(( at - began - 50 )))
    if [ -z "$heard" ]; then line="$line -"; continue; fi
    ms=$(( began + heard - offset - at ))
    line="$line $ms"; all+=("$ms")
  done <"$work/handed"
  echo "$line ms"
done
[ ${#all[@]} -gt 0 ] || { echo "nothing heard"; exit 1; }
printf '%s\n' "${all[@]}" | sort -n | awk '{ v[NR] = $1 } END {
  printf "%d announcements: median %d ms, fastest %d ms, slowest %d ms\n", NR, v[int((NR + 1) / 2)], v[1], v[NR] }'
