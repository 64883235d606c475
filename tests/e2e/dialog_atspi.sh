#!/usr/bin/env bash
# The "More options" dialog as a screen reader finds it on the real accessibility bus, with the
# real program under Xvfb and a window manager: its pages named, the address and the PIN as
# read-only text that Tab reaches, the address taking the focus (what Orca then speaks) when the
# clock is turned on; every box named by its caption (the rounding box's text too), and a letter
# typed in a number told at once, as the status bar's new name and the box's description.
#   dialog_atspi.sh PROGRAM
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/x11.sh"
begin_test
place_program "$1" "$work/app" '[Screens]' 'ServeOnNetwork=1'
start_desktop 1024x768x24
start_atspi

start_program env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$work/app/chiplark"
wait_until 10 test -s "$work/app/chiplark-page.ini" || fail "the clock is not served"
more_options
APP_PID=$app KEPT="$work/app/chiplark-page.ini" /usr/bin/python3 "$here/dialog_atspi.py" || fail "the accessible tree"
