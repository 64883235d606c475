#!/usr/bin/env bash
# The chip case's screenshots from the built program under Xvfb:
#   docs/screenshots-chips.sh build/src/chiplark
# settings-window-chips.png, the settings window with a chip case (each round's time of day
# and the rounds the chips cannot make beside the list, the night's plan under it), and
# options-chips.png, the "Chips & plan" page of "More options…".
set -euo pipefail
program="$(realpath "$1")"
docs="$(cd "$(dirname "$0")" && pwd)"
work=$(mktemp -d)
source "$docs/../tests/e2e/x11.sh"
use_own_runtime "$work"
pids=()
trap 'end_pids "${pids[@]}"; stop_speech_server; rm -rf "$work"' EXIT

start_xvfb 1024x768x24 || { echo "no X server"; exit 1; }
mkdir -p "$work/app"
cp "$program" "$(dirname "$program")"/chiplark-*.so "$work/app/"
cp -r "$docs/../data/Saved Blinds" "$work/app/"
start() {
  "$work/app/chiplark" >/dev/null 2>&1 & app=$!; pids+=($app)
  settings=$(find_window '^Chiplark! - version 1.0$') || { echo "no settings window"; exit 1; }
  xdotool windowfocus --sync "$settings"
  sleep 1
}
quit() {
  xdotool windowfocus --sync "$settings"; xdotool key Escape
  for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || return 0; sleep 0.1; done
}
# A first run writes the default settings; the night's are added to them.
start
quit
# A night of 18 players from 19:30, rebuys until round 4 and an add-on, a break after every
# fourth round, and four colours of chips.
sed -i -e "s/^Title=.*/Title=Friday night hold'em - 5000 chips\r/" -e 's/^Break=.*/Break=4\r/' \
  -e 's/^BreakTime=.*/BreakTime=10\r/' -e 's/^BreakOpt=.*/BreakOpt=0\r\nRepeatBreak=1\r/' "$work/app/chiplark.ini"
printf '%s\r\n' '[Tournament]' 'Count=1' 'BuyIn=20' 'BuyInChips=5000' 'Rebuy=20' 'RebuyChips=5000' 'AddOn=10' \
  'AddOnChips=5000' 'RebuyUntil=4' '[Plan]' 'Chips=25/white/300;100/red/300;500/green/100;1000/black/100' \
  'Players=18' 'Rebuys=6' 'AddOns=12' 'StartsAt=19:30' >>"$work/app/chiplark.ini"
start
# The first saved structure, loaded as the focus leaves the box.
xdotool key Tab Tab Down Tab
sleep 0.5
import -window "$settings" "$docs/settings-window-chips.png"
xdotool mousemove --window "$settings" 604 412 click 1 # "More options…"
dialog=$(find_window '^More options$') || { echo "no More options dialog"; exit 1; }
xdotool key ctrl+shift+Tab # the last page
sleep 0.5
import -window "$dialog" "$docs/options-chips.png"
xdotool key Escape
sleep 0.3
quit
