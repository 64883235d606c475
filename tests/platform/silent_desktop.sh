#!/usr/bin/env bash
# Runs the silent-desktop test on a private session bus whose screensaver service never
# answers; both are ended by their pids.
set -euo pipefail
test_program="$1"
saver="$2"
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT
eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 | \
  awk 'NR == 1 { print "export DBUS_SESSION_BUS_ADDRESS=" $0 } NR == 2 { print "bus_pid=" $0 }')"
pids+=("$bus_pid")
"$saver" --silent >"$work/saver.log" 2>&1 & pids+=($!)
for _ in $(seq 50); do grep -q ready "$work/saver.log" 2>/dev/null && break; sleep 0.1; done
QT_QPA_PLATFORM=offscreen "$test_program"
grep -q 'Inhibit unanswered' "$work/saver.log" || { echo "FAIL: the program never asked the service"; exit 1; }
