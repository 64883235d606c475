#!/usr/bin/env bash
# The screen stays on during a game on a bare X11 desktop: a window manager (openbox), the X
# server's screen saver set to start after 2 s idle, and no screensaver service on the
# session bus. Through 10 s without input during a game, and 10 s more while it stands
# paused, the X screen saver stays off; after Escape it starts as set.
set -euo pipefail
xss_state="$2"
source "$(dirname "$0")/../e2e/x11.sh"
begin_test
place_program "$1" "$work" '[Blinds]' 'AutoSmall=25' 'AutoBig=50' 'AutoRounds=3' 'AutoTime=5' 'BlindFactor=2' \
  '[Breaks]' 'Break=2' 'BreakTime=1'
start_xvfb 800x600x24 || fail "no X server"
start_bus quiet
start_openbox || fail "no window manager"
xset s 2 0
xset s noblank

start_program "$work/chiplark"
xdotool key Tab Down Return     # the automatic structure, then Start
display=$(find_window '^Chiplark display$') || fail "the game did not start"

# Polls the screen-saver state for some seconds without input; prints the states seen.
watch_idle() { # seconds
  local seen=""
  for _ in $(seq $(( $1 * 4 ))); do
    seen="$seen $("$xss_state" | cut -d' ' -f1)"
    sleep 0.25
  done
  echo "$seen" | tr ' ' '\n' | sort | uniq -c | tr '\n' ' '
}
during=$(watch_idle 10)
echo "during the game, 10 s idle: $during"
echo "$during" | grep -q ' On' && fail "the X screen saver started during the game"
idle=$("$xss_state" | cut -d' ' -f2)
[ "$idle" -ge 9000 ] || fail "the server was not idle ($idle ms): the test proves nothing"

xdotool key p                   # paused
paused=$(watch_idle 10)
echo "paused, 10 s idle: $paused"
echo "$paused" | grep -q ' On' && fail "the X screen saver started while the game stood paused"

xdotool windowactivate --sync "$display" 2>/dev/null || true
xdotool key Escape              # the game is over: the screen saver may start again
window_gone '^Chiplark display$' || fail "Escape did not end the game"
# The X server starts its idle count anew when the last suspension ends, so the saver is
# due 2 s after Escape; up to 15 s are allowed for a slow machine.
if ! wait_until 15 eval '"$xss_state" | grep -q "^On "'; then
  echo "last state and idle ms: $("$xss_state")"
  xset q | sed -n '/Screen Saver/,/DPMS/p'
  fail "after Escape the X screen saver did not start as set"
fi
echo "1 passed, 0 failed"
