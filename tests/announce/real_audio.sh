#!/usr/bin/env bash
# The real speech engine and sound cue, heard on a PulseAudio null sink: the engine lists
# voices, an announcement is audible, two texts given back to back are both heard in full,
# the WAV cue is heard, flags 2 block for about the file's length while flags 3 return at
# once, and with no audio server nothing hangs.
set -euo pipefail
probe="$1"
work=$(mktemp -d)
pa_pid=""
cleanup() {
  [ -n "$pa_pid" ] && kill "$pa_pid" 2>/dev/null || true
  pkill -f bin/speech-dispatcher 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
passed=0

# A private audio server whose only output is a null sink; a speech server left from an
# earlier run would still talk to an old audio server.
pkill -f bin/speech-dispatcher 2>/dev/null || true
export XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --log-target=stderr \
  -L "module-null-sink sink_name=null" -L module-native-protocol-unix >"$work/pa.log" 2>&1 &
pa_pid=$!
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink null

# Records the null sink while a command runs; prints how long sound was heard, first
# sound to last, in seconds.
heard() {
  local name="$1"; shift
  parec -d null.monitor --format=s16le --rate=16000 --channels=1 --raw >"$work/$name.raw" &
  local rec=$!
  sleep 0.3
  timeout 60 "$@" >"$work/$name.out" 2>&1 || true
  sleep 0.5
  kill "$rec"; wait "$rec" 2>/dev/null || true
  sox -t raw -r 16000 -e signed -b 16 -c 1 "$work/$name.raw" "$work/$name.wav" \
    silence 1 0.02 0.5% reverse silence 1 0.02 0.5% reverse 2>/dev/null
  soxi -D "$work/$name.wav"
}
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }

voices=$(timeout 60 "$probe" voices | grep -o 'voices: [0-9]*' | grep -o '[0-9]*' || echo 0)
[ "${voices:-0}" -ge 1 ] || fail "the engine lists no voice"
echo "voices: $voices"; passed=$((passed + 1))

start=$'The game is now started. The player who is the dealer can deal the cards.\r\nBlinds are now 25 pounds and 50 pounds'
s=$(heard start "$probe" speak 12 "$start")
echo "start announcement heard for $s s"
at_least "$s" 3 || fail "the start announcement was not heard ($s s)"
passed=$((passed + 1))

a="The break has now started. Players should stop playing once they have finished this hand."
b="Blinds are now 100 pounds and 200 pounds"
sa=$(heard a "$probe" speak 10 "$a")
sb=$(heard b "$probe" speak 10 "$b")
sab=$(heard ab "$probe" speak 16 "$a" "$b")
echo "alone: $sa s and $sb s; back to back: $sab s"
at_least "$sab" "$(awk -v a="$sa" -v b="$sb" 'BEGIN { print a + b - 0.2 }')" || fail "back to back, one text was cut off"
passed=$((passed + 1))

sox -n -r 44100 -c 2 -b 16 "$work/cue.wav" synth 1.5 sine 440 vol 0.5
s2=$(heard sync "$probe" play "$work/cue.wav" 2)
ms2=$(grep -o 'after [0-9]*' "$work/sync.out" | grep -o '[0-9]*')
s3=$(heard async "$probe" play "$work/cue.wav" 3)
ms3=$(grep -o 'after [0-9]*' "$work/async.out" | grep -o '[0-9]*')
echo "cue of 1.5 s: flags 2 heard $s2 s, returned after $ms2 ms; flags 3 heard $s3 s, returned after $ms3 ms"
at_least "$s2" 1.2 && at_least "$s3" 1.2 || fail "the cue was not heard in full"
[ "$ms2" -ge 1300 ] && [ "$ms2" -le 2400 ] || fail "flags 2 did not wait for the sound"
[ "$ms3" -le 100 ] || fail "flags 3 did not return at once"
passed=$((passed + 1))

# No audio server at all: everything returns, nothing hangs.
kill "$pa_pid"; wait "$pa_pid" 2>/dev/null || true; pa_pid=""
pkill -f bin/speech-dispatcher 2>/dev/null || true
begin=$(date +%s%N)
timeout 20 "$probe" play "$work/cue.wav" 2 >/dev/null 2>&1 || fail "the cue hung without an audio server"
timeout 30 "$probe" speak 3 "Nobody hears this" >/dev/null 2>&1 || fail "speech hung without an audio server"
echo "without an audio server: done in $(( ($(date +%s%N) - begin) / 1000000 )) ms"
passed=$((passed + 1))

echo "$passed passed, 0 failed"
