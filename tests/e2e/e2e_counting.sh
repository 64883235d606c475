#!/usr/bin/env bash
# The count of players and prizes in the real program under Xvfb with a window manager, by the
# display's keys: three entries, a bust, a rebuy and an undo; the band at the display's bottom.
# Killed mid-level (SIGKILL) and started again, it asks to resume, and the display comes up
# paused at the kept level and time with the same count, under the settings it was played with
# (not those of the last normal exit), the page served again; Escape and Exit keep it.
#   e2e_counting.sh PROGRAM [SCREENSHOT_FOLDER]
set -euo pipefail
source "$(dirname "$0")/x11.sh"
begin_test
place_program "$1" "$work" '[Config]' 'Title=Friday night' 'Currency=£' 'CurrencyOpt=0' '[Breaks]' 'Break=4' 'BreakTime=10' 'BreakOpt=0' '[Blinds]' 'AutoSmall=100' 'AutoBig=200' \
  'AutoRounds=8' 'AutoTime=20' 'BlindFactor=2' '[Screens]' 'ScaleDisplay=1' 'ShowPaused=1' 'ServeOnNetwork=1' \
  '[Tournament]' 'Count=1' 'BuyIn=20' 'BuyInChips=10000' 'Rebuy=20' 'RebuyChips=10000' 'RebuyUntil=4' \
  'Rounding=5'
game="$work/chiplark-game.json"
start_desktop 1920x1080x24
start_program "$work/chiplark"

# The kept game, read back: "entries busts rebuys paused secondsLeft round".
kept() { read_game 'n("entry"), n("bust"), n("rebuy"), int(g["paused"]), g["secondsLeft"], g["currentRound"]'; }
kept_is() { [ -f "$game" ] && [ "$(kept | cut -d' ' -f1-4)" = "$1" ]; }

start_game
wait_until 10 test -f "$game" || fail "the game is not kept while it runs"
xdotool key e e e b r
wait_until 10 kept_is "3 1 1 0" || fail "the keys were not counted: $(kept)"
xdotool key BackSpace
wait_until 10 kept_is "3 1 0 0" || fail "Backspace did not undo the rebuy: $(kept)"

# The band: 2 of 3 players, 30,000 chips, a pool of £60 all to the first; it takes the
# bottom of the screen, in the text colour, under everything else.
band() { import -window root -crop 1920x140+0+940 "$work/band.png"; [ "$(identify -format %k "$work/band.png")" -gt 2 ]; }
wait_until 10 band || fail "no band at the display's bottom"
import -window root "$work/display.png"
[ -z "${2:-}" ] || cp "$work/display.png" "$2/display-counting-1920x1080.png"

# Killed mid-level: the file stays and tells where the game was (read once the program is
# gone: a second's tick may be kept between a read and the kill).
kill_program
[ -f "$game" ] || fail "the kept game went with the program"
before=$(kept)
echo "kept: $before"
port=$(sed -n 's/^Port=//p' "$work/chiplark-page.ini")
[ -n "$port" ] || fail "the page was not served before the kill"
# The settings file of the last normal exit: other rules, no options, no count.
printf '[Breaks]\r\nBreak=10\r\nBreakTime=5\r\nBreakOpt=0\r\n' >"$work/chiplark.ini"

start_program "$work/chiplark"
answer '^Chiplark$' "no question to resume the game" # Yes, the default
display=$(find_window '^Chiplark display$') || fail "resuming did not show the display"
wait_until 10 kept_is "3 1 0 1" || fail "not resumed paused with the same count: $(kept)"
after=$(kept)
[ "${after#* * * * }" = "${before#* * * * }" ] || fail "resumed at $after, kept at $before"
listening() { python3 -c "import socket,sys; socket.create_connection(('127.0.0.1', int(sys.argv[1])), 1).close()" "$1" 2>/dev/null; }
wait_until 10 listening "$port" || fail "the resumed game's page is not served on port $port"

# Escape keeps a counted game as it was; Exit says so, the next start offers it back whole,
# and a new game asks before it drops it.
kept_as_left() { kept_is "3 1 0 1" && [ "$(kept)" = "$after" ]; }
leave_game
wait_until 5 kept_as_left || fail "the game left with Escape is not kept as it was: $(kept)"
exit_kept
start_program "$work/chiplark"
answer '^Chiplark$' "the kept game was not offered at the next start"
display=$(find_window '^Chiplark display$') || fail "the kept game did not come back"
wait_until 10 kept_as_left || fail "the kept game did not come back whole: $(kept)"
leave_game
xdotool windowfocus --sync "$settings" key Return
answer '^Please confirm:$' "a new game dropped the kept one without asking"
display=$(find_window '^Chiplark display$') || fail "the new game did not start"
wait_until 10 kept_is "0 0 0 0" || fail "the new game is not the one kept: $(kept)"
leave_game

# The settings window closed: the file now holds the rules the game was played with.
exit_kept
for line in Break=4 BreakTime=10 ShowPaused=1 ServeOnNetwork=1 Count=1 'Title=Friday night'; do
  grep -q "^$line"$'\r'"\?$" "$work/chiplark.ini" || fail "the resumed game's $line is not in the settings: $(cat "$work/chiplark.ini")"
done
echo "1 passed, 0 failed"
