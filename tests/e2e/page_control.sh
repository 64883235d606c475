#!/usr/bin/env bash
# The host's phone on the real program: under Xvfb with a window manager and the
# accessibility bus, the program serves the page (its open-file limit raised) and counts
# players. In "More options", serving off and on keeps the address, "New address and PIN"
# refuses the old one, and "Control from a phone" shows a code that is scanned (zbarimg) as
# a phone's camera would; the link, opened in headless Chromium, gives that page control,
# which it keeps across a dropped socket and a reload. Then a burst of 10,000 actions from
# it: the display's game timer (read through the accessibility bus) keeps to the wall clock,
# and a second page's pushes keep coming a second apart. Three entries, then killed
# (SIGKILL) and resumed: the countdown is the last push's to the second, and the phone, back
# within 4 s of the program serving again, still controls; killed again and declined, its
# kept key goes.
#   page_control.sh PROGRAM BUILD_FOLDER [SCREENSHOT_FOLDER]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/x11.sh"
begin_browser_test "$2"
place_program "$1" "$work/app" '[Config]' 'Title=Remote night' '[Breaks]' 'Break=4' 'BreakTime=10' 'BreakOpt=0' \
  '[Blinds]' 'AutoSmall=100' 'AutoBig=200' 'AutoRounds=8' 'AutoTime=20' 'BlindFactor=2' '[Screens]' 'ServeOnNetwork=1' \
  '[Tournament]' 'Count=1' 'BuyIn=20' 'BuyInChips=10000'
start_desktop 1280x1024x24
start_atspi
start_program env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$work/app/chiplark"
wait_until 10 test -s "$work/app/chiplark-page.ini" || fail "the clock is not served"
limits=$(grep '^Max open files' "/proc/$app/limits")
[ "$(awk '{ print $4 == $5 }' <<<"$limits")" = 1 ] || fail "the open-file limit was not raised: $limits"

xdotool key Tab Down # the automatic structure
more_options
# Serving off and on keeps the address; a new one refuses the old (the pages told: browser_page).
field() { sed -n "s/^$1=//p" "$work/app/chiplark-page.ini"; }
answers() { [ "$(curl -s -o /dev/null -w '%{http_code}' "http://127.0.0.1:$(field Port)/$1/" || true)" = "$2" ]; }
first="$(field Token) $(field Port) $(field PIN)"
answers "$(field Token)" 200 || fail "the page is not served"
xdotool key alt+s # serving off
wait_until 10 answers "$(field Token)" 000 || fail "still served after serving off"
xdotool key alt+s # and on
wait_until 10 answers "$(field Token)" 200 || fail "not served after serving on"
[ "$(field Token) $(field Port) $(field PIN)" = "$first" ] || fail "serving off and on changed the address"
xdotool key alt+n # "New address and PIN"
wait_until 10 eval '[ "$(field Token)" != "${first%% *}" ]' || fail "no new address"
[ "$(field PIN)" != "${first##* }" ] || fail "no new PIN"
answers "${first%% *}" 403 && answers "$(field Token)" 200 || fail "the old address not refused, or the new one not served"
# The control code, scanned off the dialog as a phone's camera would.
xdotool key alt+c # "Control from a phone"
scanned() {
  import -window "$dialog" "$work/dialog.png" 2>/dev/null &&
    zbarimg --raw -q "$work/dialog.png" 2>/dev/null | grep -q '#control='
}
wait_until 10 scanned || fail "no control code to scan in the dialog"
link=$(zbarimg --raw -q "$work/dialog.png" | grep '#control=')
[ -n "${3:-}" ] && cp "$work/dialog.png" "$3/more-options-control-code.png"
xdotool key Escape
window_gone '^More options$' || fail "the dialog stayed"
xdotool windowfocus --sync "$settings"
xdotool mousemove --window "$settings" 544 448 click 1 # "Start the game!"
display=$(find_window '^Chiplark display$') || fail "Enter did not show the display"

mkfifo "$work/resumed"
LINK="${link/http:\/\/*:/http://127.0.0.1:}" APP_PID=$app TIMER="$here/display_timer.py" \
  CHROMIUM="$(command -v chromium)" SHOTS="${3:-}" NODE_PATH="$modules/node_modules" \
  node "$here/page_control.cjs" <"$work/resumed" >"$work/node.log" 2>&1 &
node=$!
pids+=($node)
exec 3>"$work/resumed"
phone_done() { local rc=0; wait "$node" || rc=$?; cat "$work/node.log"; [ $rc = 0 ] || fail "the phone's test"; }
wait_until 120 eval 'grep -q "^kill now$" "$work/node.log" || ! kill -0 "$node"' || true
grep -q "^kill now$" "$work/node.log" || phone_done
# Killed mid-game, started again and resumed (Yes, the default): the phone keeps control, and
# the game its countdown to the second (the question's is the file's).
[ "$(stat -c %a "$work/app/chiplark-page-control.txt")" = 600 ] || fail "the control keys are not kept owner-only"
kill_program
left=$(game="$work/app/chiplark-game.json" read_game 'g["secondsLeft"]')
start_program env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$work/app/chiplark"
answer '^Chiplark$' "no question to resume the game"
find_window '^Chiplark display$' >/dev/null || fail "resuming did not show the display"
echo "resumed $left" >&3
exec 3>&-
phone_done

# Killed again, and this time not taken up: the phones of that game lose control, their keys go.
keys="$work/app/chiplark-page-control.txt"
[ -f "$keys" ] || fail "the resumed game's phone is not kept"
kill_program
start_program env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$work/app/chiplark"
answer '^Chiplark$' "no question to resume the game" n
wait_until 10 eval '! test -e "$keys"' || fail "declining the game kept its phones' keys"
