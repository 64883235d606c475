#!/usr/bin/env bash
# Takes the screenshots in docs/ from the built program under Xvfb:
#   docs/screenshots.sh build/src/chiplark
# settings-window.png on a true first run (a fresh folder with the ready structures and no
# settings file), settings-window-dark.png the same under GTK's dark Adwaita theme (needs
# Debian's qt6-gtk-platformtheme, as a GNOME desktop in dark mode has), and the display
# during a game set up beforehand: display-level.png and display-break.png; the options'
# pages, "Players & prizes" and "Season" among them (display-counting-1920x1080.png, the count's band on
# the display, comes from tests/e2e/e2e_counting.sh with a second argument, and
# results-sheet.png, the night's results page, from tests/e2e/results_pdf.sh with one;
# display-deal-1920x1080.png and page-tv-deal-1280x720.png are tests/e2e/e2e_bounty.sh's
# bounty-offer.png and tv-deal.png, given a screenshot folder).
set -euo pipefail
program="$(realpath "$1")"
docs="$(cd "$(dirname "$0")" && pwd)"
work=$(mktemp -d)
source "$docs/../tests/e2e/x11.sh"
use_own_runtime "$work"
pids=()
trap 'end_pids "${pids[@]}"; stop_speech_server; rm -rf "$work"' EXIT

first_run() { # folder
  rm -rf "$1"; mkdir -p "$1"
  cp "$program" "$(dirname "$program")"/chiplark-*.so "$1/"
  cp -r "$docs/../data/Saved Blinds" "$1/"
}
start() { # folder
  "$1/chiplark" >/dev/null 2>&1 & app=$!; pids+=($app)
  settings=$(find_window '^Chiplark! - version 1.0$') || { echo "no settings window"; exit 1; }
  xdotool windowfocus --sync "$settings"
  sleep 1
}
quit() { # an Escape on the settings window within a second of leaving a game is not taken
  sleep 1.1
  xdotool windowfocus --sync "$settings"; xdotool key Escape
  for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || return 0; sleep 0.1; done
}

start_xvfb 1024x768x24 || { echo "no X server"; exit 1; }

first_run "$work/app"
start "$work/app"
import -window "$settings" "$docs/settings-window.png"
quit

# The display during a game the organiser has set up: a title, pounds, an ante from round
# 2 and a break after round 2.
first_run "$work/game"
printf '%s\r\n' '[Config]' 'Title=Friday night hold'"'"'em - 1500 chips' 'Currency=£' 'CurrencyOpt=0' '[Blinds]' 'AutoSmall=25' \
  'AutoBig=50' 'AutoRounds=12' 'AutoTime=20' 'AutoIncrease=0' 'BlindFactor=2' '[Breaks]' 'Break=2' 'BreakTime=10' \
  'BreakOpt=0' '[Ante]' 'AnteAmount=25' 'AnteRound=2' 'AnteFactor=2' 'AnteOpt=1' >"$work/game/chiplark.ini"
start "$work/game"
# The automatic structure: Enter starts the game.
xdotool key Tab Down Return
sleep 1.5
xdotool key space # level 2: the ante starts
sleep 1.2
import -window root "$docs/display-level.png"
xdotool key space # the break after level 2
sleep 1.2
import -window root "$docs/display-break.png"
xdotool key Escape
sleep 0.5
quit

# "Show PAUSED on the players' display" on, the game paused in level 2.
printf '%s\r\n' '[Screens]' 'ShowPaused=1' >>"$work/game/chiplark.ini"
start "$work/game"
xdotool key Tab Down Return
sleep 1.5
xdotool key space p
sleep 1.2
import -window root "$docs/display-paused.png"
xdotool key Escape
sleep 0.5
quit

first_run "$work/dark"
QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark start "$work/dark"
# The link has the keyboard focus in this one: the last control before the start again.
xdotool key shift+Tab
sleep 0.3
import -window "$settings" "$docs/settings-window-dark.png"
quit

# "More options…" and its three pages.
first_run "$work/screens"
start "$work/screens"
xdotool key shift+Tab space # the last control: "More options…"
dialog=$(find_window '^More options$') || { echo "no More options dialog"; exit 1; }
sleep 0.3
xdotool key alt+s # "Show the clock on phones and TVs on this network": the address and its code
sleep 1
dialog=$(find_window '^More options$')
import -window "$dialog" "$docs/phone-tv-dialog.png"
xdotool key alt+s ctrl+Tab
sleep 0.3
import -window "$dialog" "$docs/options-display.png"
xdotool key ctrl+Tab
sleep 0.3
import -window "$dialog" "$docs/options-breaks.png"
xdotool key Escape
sleep 0.3
quit

# "Players & prizes", set up for a night with rebuys until round 4, payouts in fives and progressive
# bounties of £10 paid in bounty chips of £5.
first_run "$work/prizes"
printf '%s\r\n' '[Tournament]' 'Count=1' 'BuyIn=30' 'BuyInChips=10000' 'Rebuy=30' 'RebuyChips=10000' \
  'RebuyUntil=4' 'Rounding=5' 'Bounty=10' 'BountyUnit=5' 'Progressive=1' >"$work/prizes/chiplark.ini"
start "$work/prizes"
xdotool key shift+Tab space
dialog=$(find_window '^More options$') || { echo "no More options dialog"; exit 1; }
xdotool key ctrl+Tab ctrl+Tab ctrl+Tab
sleep 0.3
import -window "$dialog" "$docs/options-prizes.png"
xdotool key Escape
sleep 0.3
quit

# "Season": six Thursdays of a league of eight, scored by field and finish, best 4 nights.
first_run "$work/season"
printf '%s\r\n' '[Tournament]' 'Count=1' 'BuyIn=20' 'BuyInChips=10000' '[Season]' 'Name=Thursday League 2027' \
  >"$work/season/chiplark.ini"
mkdir -p "$work/season/seasons"
python3 - "$work/season/seasons/Thursday League 2027.csv" <<'PY'
import random, sys
random.seed(4)
names = ["Ann Lee", "Bob Marsh", "Cara Dunne", "Dev Patel", "Eli Roth", "Fay Wong", "Gus Hale", "Hana Ito"]
lines = ["Chiplark season,Thursday League 2027", "Points,field,1000;700;500;300;200;100,0,1000,200,0",
         "Rule,best,4,3", "", "Date,Title,Name,Place,Field,Prize,Knock-outs,Spend"]
for night in range(6):
    field = 6 + night % 3
    for place, name in enumerate(random.sample(names, field), 1):
        prize = [90, 50, 20][place - 1] if place <= 3 else 0
        lines.append("2027-01-%02d,Thursday game,%s,%d,%d,%d,0,20" % (night * 7 + 1, name, place, field, prize))
open(sys.argv[1], "w").write("\r\n".join(lines) + "\r\n")
PY
start "$work/season"
xdotool key shift+Tab space
dialog=$(find_window '^More options$') || { echo "no More options dialog"; exit 1; }
xdotool key ctrl+Tab ctrl+Tab ctrl+Tab ctrl+Tab ctrl+Tab ctrl+Tab
sleep 1
import -window "$dialog" "$docs/options-season.png"
xdotool key Escape
sleep 0.3
quit

# The display scaled to the screen, on three screens.
end_pids "${pids[@]}"; pids=()
for size in 1366x768 1920x1080 3840x2160; do
  start_xvfb "${size}x24" || { echo "no X server"; exit 1; }
  first_run "$work/scaled"
  cp "$work/game/chiplark.ini" "$work/scaled/"
  printf '%s\r\n' '[Screens]' 'ScaleDisplay=1' >>"$work/scaled/chiplark.ini"
  start "$work/scaled"
  xdotool key Tab Down Return
  sleep 1.5
  xdotool key space # level 2: the ante starts
  sleep 1.2
  import -window root "$docs/display-scaled-$size.png"
  xdotool key Escape
  sleep 0.5
  quit
  end_pids "${pids[@]}"; pids=()
done
