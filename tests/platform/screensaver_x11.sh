#!/usr/bin/env bash
# The screen stays on during a game on a bare X11 desktop: a window manager (openbox), the X
# server's screen saver set to start after 2 s idle, and no screensaver service on the
# session bus. Through 10 s without input during a game, and 10 s more while it stands
# paused, the X screen saver stays off; after Escape it starts as set.
set -euo pipefail
program="$1"
xss_state="$2"
source "$(dirname "$0")/../e2e/x11.sh"
work=$(mktemp -d)
use_own_runtime "$work"
pids=()
cleanup() { end_pids "${pids[@]}"; stop_speech_server; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

cp "$program" "${program%/*}/chiplark-media.so" "$work/" # the program and its media module
printf '%s\r\n' '[Blinds]' 'AutoSmall=25' 'AutoBig=50' 'AutoRounds=3' 'AutoTime=5' 'BlindFactor=2' \
  '[Breaks]' 'Break=2' 'BreakTime=1' > "$work/chiplark.ini"

start_xvfb 211 260 800x600x24 || fail "no X server"
# A session bus that starts no service on demand: nothing answers as a screensaver, and no
# accessibility bus or settings daemon comes up beside the test.
cat >"$work/bus.conf" <<'CONF'
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
eval "$(dbus-daemon --config-file="$work/bus.conf" --fork --print-address=1 --print-pid=1 | \
  awk 'NR == 1 { print "export DBUS_SESSION_BUS_ADDRESS=" $0 } NR == 2 { print "bus_pid=" $0 }')"
pids+=("$bus_pid")
openbox --sm-disable >"$work/openbox.log" 2>&1 & wm=$!; pids+=($wm)
sleep 0.5
xset s 2 0
xset s noblank

"$work/chiplark" >"$work/chiplark.log" 2>&1 & app=$!; pids+=($app)
settings=$(find_window '^Chiplark! - version 1.0$') || fail "no settings window"
xdotool windowactivate --sync "$settings" 2>/dev/null || xdotool windowfocus --sync "$settings"
sleep 0.3
xdotool key Tab Down Return     # the automatic structure, then Start
find_window '^Chiplark display$' >/dev/null || fail "the game did not start"

# Polls the screen-saver state for some seconds without input; prints the states seen.
watch_idle() { # seconds
  local seen=""
  for _ in $(seq $(( $1 * 4 ))); do
    seen="$seen $("$xss_state" | cut -d' ' -f1)"
    sleep 0.25
  done
  echo "$seen" | tr ' ' '\n' | sort | uniq -c | tr '\n' ' '
}
during=$(watch_idle 10)
echo "during the game, 10 s idle: $during"
echo "$during" | grep -q ' On' && fail "the X screen saver started during the game"
idle=$("$xss_state" | cut -d' ' -f2)
[ "$idle" -ge 9000 ] || fail "the server was not idle ($idle ms): the test proves nothing"

xdotool key p                   # paused
paused=$(watch_idle 10)
echo "paused, 10 s idle: $paused"
echo "$paused" | grep -q ' On' && fail "the X screen saver started while the game stood paused"

display=$(find_window '^Chiplark display$') || fail "no display"
xdotool windowactivate --sync "$display" 2>/dev/null || true
xdotool key Escape              # the game is over: the screen saver may start again
for _ in $(seq 30); do xdotool search --onlyvisible --name '^Chiplark display$' >/dev/null 2>&1 || break; sleep 0.1; done
xdotool search --onlyvisible --name '^Chiplark display$' >/dev/null 2>&1 && fail "Escape did not end the game"
# The X server starts its idle count anew when the last suspension ends, so the saver is
# due 2 s after Escape; up to 15 s are allowed for a slow machine.
after=""
for _ in $(seq 60); do
  state=$("$xss_state")
  after="$after ${state%% *}"
  [ "${state%% *}" = On ] && break
  sleep 0.25
done
echo "after Escape: $(echo "$after" | tr ' ' '\n' | sort | uniq -c | tr '\n' ' ')"
if [ "${state%% *}" != On ]; then
  echo "last state and idle ms: $state"
  kill -0 "$wm" 2>/dev/null || { echo "(openbox is not running)"; cat "$work/openbox.log"; }
  xset q | sed -n '/Screen Saver/,/DPMS/p'
  cat "$work/chiplark.log"
  fail "after Escape the X screen saver did not start as set"
fi

echo "1 passed, 0 failed"
