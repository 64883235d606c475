#!/usr/bin/env bash
# Runs the silent-desktop test on a private session bus whose screensaver service never
# answers.
#   silent_desktop.sh TEST_PROGRAM FAKE_SCREENSAVER
set -euo pipefail
source "$(dirname "$0")/../e2e/x11.sh"
begin_test
start_bus
"$2" --silent >"$work/saver.log" 2>&1 & pids+=($!)
wait_until 5 grep -q ready "$work/saver.log" || fail "the stand-in screensaver did not start"
QT_QPA_PLATFORM=offscreen "$1"
grep -q 'Inhibit unanswered' "$work/saver.log" || fail "the program never asked the service"
