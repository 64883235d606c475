#!/usr/bin/env bash
# The chip case in the real program, under a real X server with a window manager and the real
# accessibility bus: the case typed into "Chips & plan", the rounds the chips cannot make
# marked beside the list with each round's time, the night's length and finish under it; then
# a game through a colour-up, played with the display's keys: the band warns a level ahead,
# the break says which chips colour up, and the next level says neither.
#   e2e_chips.sh PROGRAM [SCREENSHOT_FOLDER]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/x11.sh"
begin_test
own_home
place_program "$1" "$work/app" '[Config]' 'Title=Friday night' 'Currency=£' 'CurrencyOpt=0' '[Breaks]' 'Break=2' \
  'BreakTime=10' 'BreakOpt=0' 'RepeatBreak=1' '[Blinds]' 'AutoSmall=25' 'AutoBig=50' 'AutoRounds=8' 'AutoTime=20' \
  'BlindFactor=2' '[Screens]' 'ScaleDisplay=1' '[Tournament]' 'Count=1' 'BuyIn=20' 'BuyInChips=5000'
start_desktop 1920x1080x24
start_atspi
start_program env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$work/app/chiplark"
APP_PID=$app SHOTS="${2:-}" /usr/bin/python3 "$here/chips_atspi.py" || fail "the chip case in the real program"

# The case is kept in the settings once the window closes.
# The counted game left with Escape is kept, and said so.
exit_kept
grep -q '^Chips=50/white/0;100/red/0;500/green/0'$'\r''\?$' "$work/app/chiplark.ini" ||
  fail "the chip case is not in the settings: $(cat "$work/app/chiplark.ini")"
echo "1 passed, 0 failed"
