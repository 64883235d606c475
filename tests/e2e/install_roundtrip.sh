#!/usr/bin/env bash
# Installs Chiplark into a fresh folder, starts the installed program under Xvfb, types a
# title, saves a structure, exits, and starts it again: the structure and the settings are
# still there.
set -euo pipefail
build="$1"
source "$(dirname "$0")/x11.sh"
work=$(mktemp -d)
use_own_runtime "$work"
pids=()
cleanup() { end_pids "${pids[@]}"; stop_speech_server; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$work/Chiplark" >/dev/null
app="$work/Chiplark/chiplark"
for f in chiplark manual.html chiplark.desktop chiplark.png "Saved Blinds/1500 chips - 20 minute rounds.bld"; do
  [ -e "$work/Chiplark/$f" ] || fail "the install lacks $f"
done

start_xvfb 191 240 1024x768x24 || fail "no X server"
start() {
  "$app" >/dev/null 2>&1 & pid=$!; pids+=($pid)
  settings=$(find_window '^Chiplark! - version 1.0$') || fail "no settings window"
  xdotool windowfocus --sync "$settings"; sleep 0.3
}
quit() {
  xdotool windowfocus --sync "$settings"; xdotool key Escape
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
  fail "the program did not end"
}

start
# The title box has the focus: a new title.
xdotool key ctrl+a; xdotool type --delay 20 "Install test"
# Load a ready structure with the mouse-free way: into the load box, Down, out again.
xdotool key Tab Tab Down Tab
sleep 0.3
# Save it under a new name: from the list, Tab passes Clear List, Add, Remove, Up and Down
# on to Save.
xdotool key Tab Tab Tab Tab Tab Tab space
save=$(find_window '^Save Name:$') || fail "Save asked for no name"
xdotool windowfocus --sync "$save"
xdotool key ctrl+a; xdotool type --delay 20 "Club night"; xdotool key Return
sleep 0.5
quit

ini="$work/Chiplark/chiplark.ini"
grep -q $'^Title=Install test\r$' "$ini" || fail "the title was not saved"
[ -s "$work/Chiplark/Saved Blinds/Club night.bld" ] || fail "the structure was not saved"
cmp -s "$work/Chiplark/Saved Blinds/Club night.bld" "$work/Chiplark/Saved Blinds/1500 chips - 20 minute rounds.bld" \
  || fail "the saved structure is not the loaded one"

# Again: the title comes back from the file and is written back unchanged.
cp "$ini" "$work/first.ini"
start
quit
cmp -s "$ini" "$work/first.ini" || fail "the second run changed the settings"
echo "1 passed, 0 failed"
