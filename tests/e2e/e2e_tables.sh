#!/usr/bin/env bash
# A named night at two tables of nine in the real program under Xvfb and a window manager, by
# the display's keys: fourteen names typed, dealt 7 + 7 with their names, the seat map (T), the
# table cards (C) printed by Chromium a sheet a table, the move that evens the tables, table 2
# breaking, the final table's redraw, busts down to the winner; the results files hold the
# game's figures, a line a player by name, and the page prints on one sheet.
#   e2e_tables.sh PROGRAM [SCREENSHOT_FOLDER]
set -euo pipefail
source "$(dirname "$0")/x11.sh"
begin_test
own_home
place_program "$1" "$work" '[Config]' 'Title=Friday night' 'Currency=£' 'CurrencyOpt=0' '[Breaks]' 'Break=4' 'BreakTime=10' 'BreakOpt=0' '[Blinds]' 'AutoSmall=100' \
  'AutoBig=200' 'AutoRounds=8' 'AutoTime=20' 'BlindFactor=2' '[Screens]' 'ScaleDisplay=1' \
  '[Tournament]' 'Count=1' 'BuyIn=20' 'BuyInChips=10000' 'Tables=2' 'Seats=9'
game="$work/chiplark-game.json"
start_desktop 1920x1080x24
start_program "$work/chiplark"

# The kept game, read back: "entries busts moves redraws | players per open table".
kept() { read_game 'n("entry"), n("bust"), n("move"), n("redraw"), "|", "+".join(str(sum(1 for e in t if e)) for t in g["seatMap"] if t)'; }
kept_is() { [ -f "$game" ] && [ "$(kept)" = "$1" ]; }
seat() { first_seat "$1"; }
# B, the table's digit (the final table's too) and the seat; then the count is waited for.
bust() { # table expected-after
  xdotool key b "$1" "$(seat "$1")"
  wait_until 10 kept_is "$2" || fail "the bust at table $1 was not counted: $(kept), not $2"
}

# The names, typed in "More options…" before the start.
names=(Ann Bob Cara Dev Eve Finn Gus Hana Ivo Jo Kai Lea Max Ned)
start_named "${names[@]}"
for _ in $(seq 14); do xdotool key e; done
wait_until 10 kept_is "14 0 0 0 | 7+7" || fail "fourteen entries are not dealt 7 + 7: $(kept)"
[ "$(read_game '",".join(r[-1]["name"] for r in g["records"] if r[0] == "entry")')" = "$(IFS=,; echo "${names[*]}")" ] ||
  fail "the entries did not take the names in their order: $(read_game 'g["records"]')"
import -window root "$work/seat.png"
# Every table's seats by name, until a key.
xdotool key t
import -window root "$work/seatmap.png"
xdotool key t
# The table cards: a page beside the program, one A4 sheet a table, every name on it.
xdotool key c
results="$work/results"
wait_until 10 eval 'ls "$results"/chiplark-tables-*.html >/dev/null 2>&1' || fail "no table cards were written"
cards=$(ls "$results"/chiplark-tables-*.html)
for n in "${names[@]}"; do grep -q "<td>$n</td>" "$cards" || fail "$n is not on the table cards"; done
[ "$(printed_pages "$cards" "the table cards")" = 2 ] || fail "the table cards do not print on two sheets"
[ -z "${2:-}" ] || chromium_run --screenshot="$2/table-cards.png" --window-size=1240,1754 --hide-scrollbars "file://$cards"

for left in 6 5; do bust 2 "14 $((7 - left)) 0 0 | 7+$left"; done
import -window root "$work/move.png"
xdotool key m "$(seat 1)"
wait_until 10 kept_is "14 2 1 0 | 6+6" || fail "the move was not made: $(kept)"

for left in 5 4; do bust 1 "14 $((8 - left)) 1 0 | $left+6"; done
# Nine left fit at one table: table 2 breaks into table 1's free seats.
bust 1 "14 5 1 0 | 9"
xdotool key d d
wait_until 10 kept_is "14 5 1 1 | 9" || fail "the final table was not redrawn: $(kept)"
for left in 8 7 6 5 4 3 2 1; do bust 1 "14 $((14 - left)) 1 1 | $left"; done

# The results: on the display, and in the files beside the program.
wait_until 10 eval 'ls "$results"/chiplark-results-*.csv >/dev/null 2>&1' || fail "no results were written"
import -window root "$work/results.png"
python3 - "$game" "$results" "${names[*]}" <<'PY' || fail "the results files do not hold the game's figures"
import csv, glob, json, sys
g = json.load(open(sys.argv[1]))
[path] = glob.glob(sys.argv[2] + "/chiplark-results-*.csv")
rows = list(csv.reader(open(path, encoding="utf-8", newline="")))
header, places = rows[0], [r for r in rows[1:15]]
assert header == ["Place", "Name", "Entry", "Table", "Seat", "Prize", "Buy-ins", "Rebuys", "Add-ons"], header
assert [int(r[0]) for r in places] == list(range(1, 15)), places
assert sorted(int(r[2]) for r in places) == list(range(1, 15)), places
assert sorted(r[1] for r in places) == sorted(sys.argv[3].split()), places
winner = next(e for t in g["seatMap"] for e in t if e)
assert int(places[0][2]) == winner, (places[0], winner)
# 14 buy-ins of £20, paid 40/30/20/10.
assert [int(r[5]) for r in places[:5]] == [112, 84, 56, 28, 0], places
summary = {r[0]: r[1] for r in rows[16:] if len(r) == 2}
assert summary["Entries"] == "14" and summary["Prize pool"] == "280", summary
page = open(path[:-4] + ".html", encoding="utf-8").read()
assert "Friday night" in page and "£280" in page and page.count("<tr") >= 15, "the page"
print("results:", path, "winner entry", winner)
PY

one_sheet "$(ls "$results"/chiplark-results-*.html)" "the results"

for shot in seat seatmap move results; do [ -z "${2:-}" ] || cp "$work/$shot.png" "$2/display-$shot-1920x1080.png"; done
# The counted game left with Escape is kept, and said so.
leave_game
exit_kept
echo "1 passed, 0 failed"
