#!/usr/bin/env bash
# The real program under a real X server, driven only by keys: choose the automatic
# structure, Enter starts a game on a borderless full-screen display, Space skips a level,
# Escape leaves the game (a second Escape at once, under a window manager, does not end the
# program), Escape on the settings window a second later ends it, and the settings file
# holds what was set up before.
set -euo pipefail
program="$1"

source "$(dirname "$0")/x11.sh"
work=$(mktemp -d)
use_own_runtime "$work"
pids=()
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  end_pids "${pids[@]}"
  stop_speech_server; rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  echo "--- what the program printed:"; cat "$work/out.log" 2>/dev/null || true
  exit 1
}

# The program keeps its settings beside itself: give it a folder of its own.
cp "$program" "${program%/*}/chiplark-media.so" "$work/" # the program and its media module
printf '%s\r\n' '[Config]' 'Title=End to end game' '[Blinds]' 'AutoSmall=25' 'AutoBig=50' 'AutoRounds=3' \
  'AutoTime=1' 'BlindFactor=2' '[Breaks]' 'Break=2' 'BreakTime=1' > "$work/chiplark.ini"

start_xvfb 90 140 1024x768x24 || fail "no X server"
"$work/chiplark" >"$work/out.log" 2>&1 &
app_pid=$!

settings=$(find_window '^Chiplark! - version 1.0$') || fail "no settings window"
xdotool windowfocus --sync "$settings"
sleep 0.3

# Tab to the custom option, Down to the automatic one, Enter presses Start.
xdotool key Tab Down Return
display=$(find_window '^Chiplark display$') || fail "Enter did not show the display"
sleep 0.5
geometry=$(xdotool getwindowgeometry "$display")
echo "$geometry"
echo "$geometry" | grep -q 'Position: 0,0' || fail "display not at the screen's corner"
echo "$geometry" | grep -q 'Geometry: 1024x768' || fail "display does not cover the screen"
# flags, functions, decorations: the decorations flag is set and no decoration asked for
hints=$(xprop -id "$display" _MOTIF_WM_HINTS)
echo "$hints" | grep -Eq '= 0x[0-9a-f]*[2367abef], 0x[0-9a-f]+, 0x0,' || fail "display has a border ($hints)"

# Space: the blinds in the middle of the screen change at once.
blinds_area() { import -window root -crop 1024x160+0+300 "$1"; }
blinds_area "$work/before.png"
xdotool windowfocus --sync "$display"
xdotool key space
sleep 0.5
blinds_area "$work/after.png"
changed=$(compare -metric AE "$work/before.png" "$work/after.png" null: 2>&1 || true)
[ "${changed%% *}" -gt 100 ] || fail "Space did not change the blinds ($changed pixels)"

# From here under a window manager, as on a desktop.
start_openbox "$work/openbox.log" || fail "no window manager"
xdotool windowfocus --sync "$display"

# Escape leaves the game: the display goes away. A second Escape 300 ms later (the host
# making sure) reaches the settings window, which stays.
xdotool key Escape
sleep 0.3
xdotool key Escape
for _ in $(seq 50); do
  xdotool search --onlyvisible --name '^Chiplark display$' >/dev/null 2>&1 || break
  sleep 0.1
done
if xdotool search --onlyvisible --name '^Chiplark display$' >/dev/null 2>&1; then fail "Escape left the display up"; fi
[ "$(xdotool getactivewindow 2>/dev/null)" = "$settings" ] || fail "the settings window did not get the keyboard back"
kill -0 "$app_pid" 2>/dev/null || fail "a second Escape right after leaving the game ended the program"

# A second later, Escape on the settings window ends the program, which saves.
sleep 1.1
xdotool key Escape
for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "Escape did not end the program"
wait "$app_pid" || fail "the program ended with an error"
app_pid=""

ini="$work/chiplark.ini"
grep -q $'^Title=End to end game\r$' "$ini" || fail "title lost"
grep -q $'^AutoRounds=3\r$' "$ini" || fail "rounds lost"
grep -q $'^AutoTime=1\r$' "$ini" || fail "minutes lost"
[ "$(grep -c '=' "$ini")" -eq 32 ] || fail "not every key written"
echo "1 passed, 0 failed"
