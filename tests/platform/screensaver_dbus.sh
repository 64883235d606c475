#!/usr/bin/env bash
# The screen stays on during a game: on a private session bus with a stand-in screensaver,
# the real program asks for the inhibition at Start and gives it back at Escape and when it
# ends in the middle of a game.
set -euo pipefail
program="$1"
saver="$2"
source "$(dirname "$0")/../e2e/x11.sh"
work=$(mktemp -d)
use_own_runtime "$work"
pids=()
cleanup() { end_pids "${pids[@]}"; stop_speech_server; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; cat "$work/saver.log" 2>/dev/null; exit 1; }

cp "$program" "${program%/*}/chiplark-media.so" "$work/" # the program and its media module
printf '%s\r\n' '[Blinds]' 'AutoSmall=25' 'AutoBig=50' 'AutoRounds=3' 'AutoTime=1' 'BlindFactor=2' \
  '[Breaks]' 'Break=2' 'BreakTime=1' > "$work/chiplark.ini"

start_xvfb 141 190 800x600x24 || fail "no X server"
eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 | \
  awk 'NR == 1 { print "export DBUS_SESSION_BUS_ADDRESS=" $0 } NR == 2 { print "bus_pid=" $0 }')"
pids+=("$bus_pid")
"$saver" >"$work/saver.log" 2>&1 & pids+=($!)
for _ in $(seq 50); do grep -q ready "$work/saver.log" 2>/dev/null && break; sleep 0.1; done

"$work/chiplark" >/dev/null 2>&1 & app=$!; pids+=($app)
wait_for() { for _ in $(seq 50); do grep -q "$1" "$work/saver.log" && return 0; sleep 0.1; done; return 1; }
settings=$(find_window '^Chiplark! - version 1.0$') || fail "no settings window"
xdotool windowfocus --sync "$settings"; sleep 0.3

xdotool key Tab Down Return
wait_for '^Inhibit 1 Chiplark' || fail "Start did not keep the screen on"
sleep 0.5
xdotool key p p Escape      # pausing keeps it; leaving the game gives it back
wait_for '^UnInhibit 1$' || fail "Escape did not let the screen sleep"
grep -c '^Inhibit' "$work/saver.log" | grep -qx 1 || fail "asked more than once for one game"

xdotool windowfocus --sync "$settings"; sleep 0.3
xdotool key Return          # a new game
wait_for '^Inhibit 2 ' || fail "the second Start did not keep the screen on"
sleep 0.5
xdotool windowfocus --sync "$settings"; sleep 0.3
xdotool key Escape          # the program ends in the middle of the game
wait_for '^UnInhibit 2$' || fail "ending the program did not let the screen sleep"
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program did not end"
cat "$work/saver.log"
echo "1 passed, 0 failed"
