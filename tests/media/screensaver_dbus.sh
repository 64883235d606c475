#!/usr/bin/env bash
# The screen stays on during a game: on a private session bus with a stand-in screensaver,
# the real program asks for the inhibition at Start and gives it back at Escape and when it
# ends in the middle of a game.
#   screensaver_dbus.sh PROGRAM FAKE_SCREENSAVER
set -euo pipefail
source "$(dirname "$0")/../e2e/x11.sh"
begin_test
place_program "$1" "$work" '[Blinds]' 'AutoSmall=25' 'AutoBig=50' 'AutoRounds=3' 'AutoTime=1' 'BlindFactor=2' \
  '[Breaks]' 'Break=2' 'BreakTime=1'
start_xvfb 800x600x24 || fail "no X server"
start_bus
"$2" >"$work/saver.log" 2>&1 & pids+=($!)
said() { wait_until 5 grep -q "$1" "$work/saver.log" || { cat "$work/saver.log"; fail "$2"; }; }
said ready "the stand-in screensaver did not start"

start_program "$work/chiplark"
xdotool key Tab Down Return
said '^Inhibit 1 Chiplark' "Start did not keep the screen on"
xdotool key p p Escape      # pausing keeps it; leaving the game gives it back
said '^UnInhibit 1$' "Escape did not let the screen sleep"
[ "$(grep -c '^Inhibit' "$work/saver.log")" -eq 1 ] || fail "asked more than once for one game"

xdotool windowfocus --sync "$settings"
xdotool key Return          # a new game
said '^Inhibit 2 ' "the second Start did not keep the screen on"
xdotool windowfocus --sync "$settings"
xdotool key Escape          # the program ends in the middle of the game
said '^UnInhibit 2$' "ending the program did not let the screen sleep"
program_ended "Escape in the middle of a game"
cat "$work/saver.log"
echo "1 passed, 0 failed"
