#!/usr/bin/env bash
# A season in the real program under Xvfb: three nights of four named players, each played to
# its end with the display's keys and added to "Thursday League 2027" with Enter. The names typed
# before the start seat the players at the one table; on the first night N and Enter re-enter
# the last out, and the results name every player, the re-entered one with two buy-ins. The season
# file then holds twelve lines, never one twice; its standings page prints on one A4 sheet;
# the TV's watch page, in headless Chromium, shows the standings after the third night; and
# the season file copied to a fresh folder reads back to the same standings.
#   e2e_season.sh PROGRAM BUILD_FOLDER SEASON_PROBE [SCREENSHOT_FOLDER]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/x11.sh"
begin_browser_test "$2"
start_desktop 1920x1080x24
game="$work/app/chiplark-game.json"
season="$work/app/seasons/Thursday League 2027"
names=(Ann Bob Cara Dev)
kept() { read_game 'n("entry"), n("bust"), n("reentry")'; }
bust() { xdotool key b "$(first_seat 1)"; wait_until 10 kept_is "$1" || fail "night $night: the bust was not counted: $(kept), not $1"; }
kept_is() { [ -f "$game" ] && [ "$(kept)" = "$1" ]; }
lines() { [ -f "$season.csv" ] && grep -c '^20[0-9-]*,' "$season.csv" || echo 0; }

for night in 1 2 3; do
  place_program "$1" "$work/app" '[Config]' "Title=Night $night" 'Currency=£' 'CurrencyOpt=0' '[Breaks]' 'Break=4' \
    'BreakTime=10' 'BreakOpt=0' '[Blinds]' 'AutoSmall=100' 'AutoBig=200' 'AutoRounds=8' 'AutoTime=20' 'BlindFactor=2' \
    '[Screens]' 'ServeOnNetwork=1' '[Tournament]' 'Count=1' 'BuyIn=20' 'BuyInChips=10000' \
    '[Season]' 'Name=Thursday League 2027' 'OnPage=1'
  rm -f "$game" "$work/app/chiplark-page.ini"
  start_program "$work/app/chiplark"
  start_named "${names[@]}"
  xdotool key e e e e
  wait_until 10 kept_is "4 0 0" || fail "night $night: four entries are not counted: $(kept)"
  [ "$(read_game '" ".join(r[-1]["name"] for r in g["records"] if r[0] == "entry")')" = "${names[*]}" ] ||
    fail "the entries did not take the names: $(read_game 'g["records"]')"
  back=0
  if [ "$night" = 1 ]; then
    bust "4 1 0"
    xdotool key n Return
    wait_until 10 kept_is "4 1 1" || fail "the last out did not re-enter: $(kept)"
    back=1
  fi
  for out in 1 2 3; do bust "4 $((out + back)) $back"; done
  wait_until 10 eval '[ "$(ls "$work/app/results/"chiplark-results-*.csv 2>/dev/null | wc -l)" = $night ]' ||
    fail "night $night: no results"
  if [ "$night" = 1 ]; then
    python3 - "$work/app/results/"chiplark-results-*.csv "${names[*]}" <<'PY' || fail "the results do not name every player"

import csv, sys
rows = list(csv.reader(open(sys.argv[1], encoding="utf-8", newline="")))
places = rows[1:rows.index([])]
assert [r[0] for r in places] == ["1", "2", "3", "4"], places
assert sorted(r[1] for r in places) == sorted(sys.argv[2].split()), places
assert sorted(r[6] for r in places) == ["1", "1", "1", "2"], places
PY
  fi
  xdotool key Return
  wait_until 10 eval '[ "$(lines)" = $((night * 4)) ]' || fail "night $night is not in the season: $(lines) lines"
  # Enter again adds nothing: the question was answered.
  xdotool key Return
  if [ "$night" = 3 ]; then
    wait_until 10 test -s "$work/app/chiplark-page.ini" || fail "the clock is not served"
    watch="http://127.0.0.1:$(sed -n 's/^Port=//p' "$work/app/chiplark-page.ini")/$(sed -n 's/^Token=//p' "$work/app/chiplark-page.ini")/"
    WATCH="$watch" CHROMIUM="$(command -v chromium)" SHOTS="${4:-}" NODE_PATH="$modules/node_modules" \
      node "$here/season_tv.cjs" >"$work/tv.log" 2>&1 || { cat "$work/tv.log"; fail "the TV shows no season"; }
    cat "$work/tv.log"
    [ "$(grep -c '|' "$work/tv.log")" = 4 ] || fail "the TV does not list the four players"
    [ -n "${4:-}" ] && import -window root "$4/display-season.png"
  fi
  kill_program
done
[ "$(lines)" = 12 ] || fail "the season holds $(lines) lines, not 12"
[ "$(cut -d, -f2 "$season.csv" | grep -c '^Night [123]$')" = 12 ] || fail "the nights' titles are not kept"
python3 - "$season standings.csv" <<'PY' || fail "the standings do not add up"
import csv, sys
rows = list(csv.reader(open(sys.argv[1], encoding="utf-8", newline="")))
assert rows[0] == ["Rank", "Name", "Nights", "Points", "Wins", "Cashes", "KOs", "Winnings"], rows[0]
assert sorted(r[1] for r in rows[1:]) == ["Ann", "Bob", "Cara", "Dev"], rows
assert all(r[2] == "3" for r in rows[1:]) and sum(int(r[4]) for r in rows[1:]) == 3, rows
# Linear points over three nights of four: 10 each night, 30 in all.
assert sum(float(r[3]) for r in rows[1:]) == 30, rows
PY
one_sheet "$season standings.html" "the season's standings"
mkdir -p "$work/fresh/seasons"
cp "$season.csv" "$work/fresh/seasons/"
"$3" "$work/fresh/seasons" "Thursday League 2027" >"$work/fresh.csv" || fail "the copied season does not read"
cmp -s "$work/fresh.csv" "$season standings.csv" || fail "the copied season reads otherwise"
echo "1 passed, 0 failed"
