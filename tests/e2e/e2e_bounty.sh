#!/usr/bin/env bash
# A progressive bounty night at two tables of five in the real program under Xvfb: eight names
# seated, knock-outs by the display's keys (one pot split by two) and from the host's phone in
# headless Chromium (bounty_phone.cjs), the tables broken to one, a deal made from the phone at
# three left (ICM, £20 kept to play for) and the night played on to its winner. The results
# (CSV and page) hold every knock-out, the bounties and the deal, and add up to the money in.
#   e2e_bounty.sh PROGRAM BUILD_FOLDER [SCREENSHOT_FOLDER]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/x11.sh"
begin_browser_test "$2"
place_program "$1" "$work/app" '[Config]' 'Title=Bounty night' 'Currency=£' 'CurrencyOpt=0' '[Breaks]' 'Break=4' \
  'BreakTime=10' 'BreakOpt=0' '[Blinds]' 'AutoSmall=100' 'AutoBig=200' 'AutoRounds=8' 'AutoTime=20' 'BlindFactor=2' \
  '[Screens]' 'ServeOnNetwork=1' '[Tournament]' 'Count=1' 'BuyIn=30' 'BuyInChips=10000' 'Tables=2' 'Seats=5' \
  'Bounty=10' 'Progressive=1'
game="$work/app/chiplark-game.json"
start_desktop 1920x1080x24
start_program "$work/app/chiplark"
kept() { read_game 'n("entry"), n("bust"), n("deal")'; }
kept_is() { [ -f "$game" ] && [ "$(kept)" = "$1" ]; }
# The n-th taken seat of a table, as the kept game says.
seat() { read_game "[i + 1 for i, e in enumerate(g['seatMap'][$1 - 1]) if e][$2 - 1]"; }
tables() { read_game 'sum(1 for t in g["seatMap"] if t)'; }
# B, the table and the seat out, then those of who busted them: Enter after one, the second's
# seat records it. The table's digit is asked for all night, the final table's too.
bust() { # expected-after table seat-out table seat [table seat]
  local after=$1
  shift
  xdotool key b "$@"
  [ $# = 4 ] && xdotool key Return
  wait_until 10 kept_is "$after" || fail "the bust was not counted: $(kept), not $after"
}
name_at() { read_game "[r[-1]['name'] for r in g['records'] if r[0] == 'entry'][g['seatMap'][$1 - 1][$2 - 1] - 1]"; }

names=(Ann Bob Cara Dev Eve Finn Gus Hana)
start_named "${names[@]}"
xdotool key e e e e e e e e
wait_until 10 kept_is "8 0 0" || fail "eight entries are not counted: $(kept)"
bust "8 1 0" 1 "$(seat 1 1)" 1 "$(seat 1 2)"
bust "8 2 0" 2 "$(seat 2 1)" 2 "$(seat 2 2)" 2 "$(seat 2 3)"
[ "$(read_game 'len(g["records"][-1][-1]["by"])')" = 2 ] || fail "the split bust does not name two players"
import -window root "$work/knockout.png"

# The phone pairs with the PIN; its bust names who busted the player by name.
wait_until 10 test -s "$work/app/chiplark-page.ini" || fail "the clock is not served"
field() { sed -n "s/^$1=//p" "$work/app/chiplark-page.ini"; }
mkfifo "$work/phone"
WATCH="http://127.0.0.1:$(field Port)/$(field Token)/" PIN="$(field PIN)" CHROMIUM="$(command -v chromium)" \
  SHOTS="${3:-}" NODE_PATH="$modules/node_modules" node "$here/bounty_phone.cjs" <"$work/phone" >"$work/node.log" 2>&1 &
pids+=($!)
exec 3>"$work/phone"
done_is() { [ "$(grep -c '^done' "$work/node.log")" = "$1" ]; }
phone() { # n command
  echo "$2" >&3
  wait_until 30 done_is "$1" || { cat "$work/node.log"; fail "the phone did not $2"; }
}
phone 1 "bust 1 $(seat 1 1) $(name_at 1 "$(seat 1 2)")"
wait_until 10 kept_is "8 3 0" || fail "the phone's bust was not counted: $(kept)"
[ "$(tables)" = 1 ] || fail "five players left did not break a table"
bust "8 4 0" 1 "$(seat 1 1)" 1 "$(seat 1 2)"
bust "8 5 0" 1 "$(seat 1 1)" 1 "$(seat 1 2)"
# Three left: the chips counted on the display's keys (K, then each player's chips and Enter)
# show on the TV, the leader first; a deal offered there (O, Enter keeping each count) shows on
# the phones too; Escape says no deal. Then the deal from the phone, counts typed there, ICM
# with £20 kept to play for.
xdotool key k 4 0 0 0 0 Return 2 5 0 0 0 Return 1 5 0 0 0 Return
phone 2 counted
xdotool key o Return Return Return
phone 3 offered
import -window root "$work/offer.png"
xdotool key Escape
phone 4 "deal 40000 25000 15000 20"
wait_until 10 kept_is "8 5 1" || fail "the deal was not recorded: $(kept)"
import -window root "$work/deal.png"
xdotool key p
bust "8 6 1" 1 "$(seat 1 1)" 1 "$(seat 1 2)"
bust "8 7 1" 1 "$(seat 1 1)" 1 "$(seat 1 2)"
echo quit >&3
exec 3>&-
wait_until 10 eval 'ls "$work/app/results/"chiplark-results-*.csv >/dev/null 2>&1' || fail "no results were written"
import -window root "$work/results.png"
cat "$work/node.log"
python3 - "$work/app/results" "${names[*]}" <<'PY' || fail "the results do not add up"
import csv, glob, sys
[path] = glob.glob(sys.argv[1] + "/chiplark-results-*.csv")
rows = list(csv.reader(open(path, encoding="utf-8", newline="")))
places = rows[1:rows.index([])]
summary = {r[0]: r[1] for r in rows[rows.index([]) + 1:]}
assert rows[0][-2:] == ["Knock-outs", "Bounties"], rows[0]
assert sorted(r[1] for r in places) == sorted(sys.argv[2].split()), places
# 8 buy-ins of £30: £80 of bounties apart, £160 in the pool; seven busts, one shared by two.
assert summary["Bounties"] == "80" and summary["Prize pool"] == "160", summary
assert sum(int(r[5]) for r in places) == 160, places
assert sum(int(r[10]) for r in places) == 80, places
assert sum(int(r[9]) for r in places) == 8, places
deal = summary["Deal"]
assert deal.startswith("ICM: ") and deal.endswith("; £20 played for"), deal
shares = {part.split(" £")[0]: int(part.split(" £")[1].replace(",", "")) for part in deal[5:].split(";")[0].split(" · ")}
assert sum(shares.values()) == 140 and len(shares) == 3, shares
assert int(places[0][5]) == shares[places[0][1]] + 20, (places[0], shares)
page = open(path[:-4] + ".html", encoding="utf-8").read()
assert "Bounties" in page and "£80" in page and "ICM: " in page, "the page"
print("results:", ", ".join(f"{r[0]} {r[1]} £{r[5]} {r[9]} KOs £{r[10]}" for r in places))
PY
one_sheet "$(ls "$work/app/results/"chiplark-results-*.html)" "the results" "$work/results-page.png"
for shot in knockout offer deal results results-page; do [ -z "${3:-}" ] || cp "$work/$shot.png" "$3/bounty-$shot.png"; done
echo "1 passed, 0 failed"
