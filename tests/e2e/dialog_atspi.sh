#!/usr/bin/env bash
# The "More options" dialog as a screen reader finds it, on the real accessibility bus
# (at-spi2-core) with the real program under Xvfb and a window manager: its pages named, the
# address and the PIN as read-only text that Tab reaches, and the address taking the focus
# (what Orca then speaks) when the clock is turned on.
#   dialog_atspi.sh PROGRAM
set -euo pipefail
program="$1"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/x11.sh"
work=$(mktemp -d)
use_own_runtime "$work"
pids=()
descendants() { local c; for c in $(pgrep -P "$1" || true); do descendants "$c"; echo "$c"; done; }
cleanup() {
  local all=()
  for p in "${pids[@]}"; do all+=($(descendants "$p") "$p"); done
  end_pids "${all[@]}"
  stop_speech_server
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  echo "--- what the program printed:"; cat "$work/out.log" 2>/dev/null || true
  exit 1
}

mkdir -p "$work/app"
cp "$program" "${program%/*}/chiplark-media.so" "$work/app/"
printf '%s\r\n' '[Screens]' 'ServeOnNetwork=1' > "$work/app/chiplark.ini"
start_xvfb 90 140 1024x768x24 || fail "no X server"
# A session bus of the test's own, and the accessibility bus on it, started here.
eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 | \
  awk 'NR == 1 { print "export DBUS_SESSION_BUS_ADDRESS=" $0 } NR == 2 { print "bus_pid=" $0 }')"
pids+=("$bus_pid")
"${ATSPI_LAUNCHER:-/usr/libexec/at-spi-bus-launcher}" --launch-immediately >"$work/atspi.log" 2>&1 &
pids+=($!)
start_openbox "$work/openbox.log" || fail "no window manager"

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$work/app/chiplark" >"$work/out.log" 2>&1 &
app=$!
pids+=($app)
settings=$(find_window '^Chiplark! - version 1.0$') || fail "no settings window"
for _ in $(seq 100); do [ -s "$work/app/chiplark-page.ini" ] && break; sleep 0.1; done
[ -s "$work/app/chiplark-page.ini" ] || fail "the clock is not served"
xdotool windowfocus --sync "$settings"
xdotool mousemove --window "$settings" 544 412 click 1 # "More options…"
dialog=$(find_window '^More options$') || fail "no More options window"
xdotool windowfocus --sync "$dialog"
APP_PID=$app KEPT="$work/app/chiplark-page.ini" /usr/bin/python3 "$here/dialog_atspi.py" || fail "the accessible tree"
