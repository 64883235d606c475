#!/usr/bin/env bash
# The real program under Xvfb, driven only by keys: Enter starts a game of the automatic
# structure on a borderless full-screen display, Space skips a level, nothing for speech or
# sound runs, Escape leaves the game (a second Escape at once, under a window manager, does not
# end the program), Escape a second later ends it, and the settings file holds what was set.
set -euo pipefail
source "$(dirname "$0")/x11.sh"
begin_test
place_program "$1" "$work" '[Config]' 'Title=End to end game' '[Blinds]' 'AutoSmall=25' 'AutoBig=50' \
  'AutoRounds=3' 'AutoTime=1' 'BlindFactor=2' '[Breaks]' 'Break=2' 'BreakTime=1'
start_xvfb 1024x768x24 || fail "no X server"
start_program "$work/chiplark"

start_game
geometry=$(xdotool getwindowgeometry "$display" | tr '\n' ' ')
echo "$geometry" | grep -q 'Position: 0,0 .*Geometry: 1024x768' || fail "display not covering the screen: $geometry"
# flags, functions, decorations: the decorations flag is set and no decoration asked for
hints=$(xprop -id "$display" _MOTIF_WM_HINTS)
echo "$hints" | grep -Eq '= 0x[0-9a-f]*[2367abef], 0x[0-9a-f]+, 0x0,' || fail "display has a border ($hints)"

# Space: the blinds in the middle of the screen change at once.
blinds_area() { import -window root -crop 1024x160+0+300 "$work/$1.png"; }
changed() { blinds_area after; [ "$(compare -metric AE "$work/before.png" "$work/after.png" null: 2>&1 | cut -d' ' -f1)" -gt 100 ]; }
shown() { blinds_area before; [ "$(identify -format %k "$work/before.png")" -gt 2 ] && blinds_area after && ! changed; }
wait_until 10 shown || fail "the display shows no blinds, or does not stand still"
xdotool windowfocus --sync "$display" key space
wait_until 5 changed || fail "Space did not change the blinds"

# From here under a window manager, as on a desktop.
start_openbox || fail "no window manager"
xdotool windowfocus --sync "$display"

# Space on through the levels and the break to the last level. A game without speech or
# sound starts no speech server (none under this test's runtime folder, no child of the
# program) and loads neither Qt TextToSpeech nor Qt Multimedia; the screen keeping is loaded.
xdotool key --delay 200 space space space
grep -q 'chiplark-screen.so' "/proc/$app/maps" || fail "the screen keeping is not loaded"
! grep -Eo 'libQt6(TextToSpeech|Multimedia)[^ ]*' "/proc/$app/maps" | sort -u | grep . || fail "speech or sound loaded unasked"
[ -z "$(pgrep -P "$app")" ] || fail "the program started $(ps -o pid=,comm= --ppid "$app")"
[ ! -e "$XDG_RUNTIME_DIR/speech-dispatcher" ] || fail "a speech server was started: $(ls -R "$XDG_RUNTIME_DIR/speech-dispatcher")"

# Escape leaves the game: the display goes away. A second Escape 300 ms later (the host
# making sure) reaches the settings window, which stays.
xdotool key --delay 300 Escape Escape
window_gone '^Chiplark display$' || fail "Escape left the display up"
[ "$(xdotool getactivewindow 2>/dev/null)" = "$settings" ] || fail "the settings window did not get the keyboard back"
kill -0 "$app" 2>/dev/null || fail "a second Escape right after leaving the game ended the program"

# A second later, Escape on the settings window ends the program, which saves.
sleep 1.1 # the program's own second of grace after a game
xdotool key Escape
program_ended "Escape"
wait "$app" || fail "the program ended with an error"

ini="$work/chiplark.ini"
for line in 'Title=End to end game' AutoRounds=3 AutoTime=1; do grep -qxF "$line"$'\r' "$ini" || fail "$line lost"; done
[ "$(grep -c '=' "$ini")" -eq 32 ] || fail "not every key written"
echo "1 passed, 0 failed"
