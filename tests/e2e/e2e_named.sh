#!/usr/bin/env bash
# A named night at one table in the real program under Xvfb: three names typed before the start
# seat the players; B and the seat bust, N and Enter re-enter the last out, and the results name
# every player, the re-entered one with two buy-ins.
#   e2e_named.sh PROGRAM
set -euo pipefail
source "$(dirname "$0")/x11.sh"
begin_test
own_home
place_program "$1" "$work" '[Config]' 'Title=Named night' 'Currency=£' 'CurrencyOpt=0' '[Breaks]' 'Break=4' 'BreakTime=10' \
  'BreakOpt=0' '[Blinds]' 'AutoSmall=100' \
  'AutoBig=200' 'AutoRounds=8' 'AutoTime=20' 'BlindFactor=2' '[Tournament]' 'Count=1' 'BuyIn=20' 'BuyInChips=10000'
game="$work/chiplark-game.json"
start_desktop 1920x1080x24
start_program "$work/chiplark"

# The kept game: "entries busts re-entries | players seated".
kept() { read_game 'n("entry"), n("bust"), n("reentry"), "|", sum(1 for t in g.get("seatMap", []) for e in t if e)'; }
kept_is() { [ -f "$game" ] && [ "$(kept)" = "$1" ]; }
bust() { xdotool key b "$(first_seat 1)"; wait_until 10 kept_is "$1" || fail "the bust was not counted: $(kept), not $1"; }

names=(Ann Bob Cara)
start_named "${names[@]}"
xdotool key e e e
wait_until 10 kept_is "3 0 0 | 3" || fail "three entries are not seated at the one table: $(kept)"
[ "$(read_game '" ".join(r[-1]["name"] for r in g["records"] if r[0] == "entry")')" = "${names[*]}" ] ||
  fail "the entries did not take the names: $(read_game 'g["records"]')"
bust "3 1 0 | 2"
xdotool key n Return
wait_until 10 kept_is "3 1 1 | 3" || fail "the last out did not re-enter: $(kept)"
bust "3 2 1 | 2"
bust "3 3 1 | 1"

results="$work/results"
wait_until 10 eval 'ls "$results"/chiplark-results-*.csv >/dev/null 2>&1' || fail "no results were written"
python3 - "$results" "${names[*]}" <<'PY' || fail "the results do not name every player"
import csv, glob, sys
[path] = glob.glob(sys.argv[1] + "/chiplark-results-*.csv")
rows = list(csv.reader(open(path, encoding="utf-8", newline="")))
places = rows[1:rows.index([])]
assert [r[0] for r in places] == ["1", "2", "3"], places
assert sorted(r[1] for r in places) == sorted(sys.argv[2].split()), places
assert sorted(r[6] for r in places) == ["1", "1", "2"], places
PY
echo "1 passed, 0 failed"
