#!/usr/bin/env bash
# The night's results on paper: a page of 48 places and 40 levels, as the program writes it,
# printed to A4 by Debian's Chromium, headless, fills exactly one sheet. With a second
# argument, the page is also shown at A4's size at 150 dpi (1240x1754) and saved there as PNG.
#   results_pdf.sh RESULTS_PROBE [PNG]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/x11.sh"
begin_test
export HOME="$work/home"
mkdir -p "$HOME"

page=$("$1" "$work/results") || fail "the probe wrote no results"
[ -f "$page" ] || fail "no page at $page"

# Chromium with a profile of the test's own, ended by its pid if it does not end by itself.
chromium_run() { # flags...
  chromium --headless --no-sandbox --disable-gpu --no-first-run --no-default-browser-check \
    --user-data-dir="$work/chromium" "$@" >>"$work/out.log" 2>&1 &
  local pid=$!
  pids+=($pid)
  wait_until 90 eval '! kill -0 "$pid" 2>/dev/null' || fail "chromium did not end"
  wait "$pid" || fail "chromium failed"
}

pdf="$work/results.pdf"
chromium_run --print-to-pdf="$pdf" --no-pdf-header-footer "file://$page"
[ -s "$pdf" ] || fail "chromium printed no PDF"
pages=$(python3 -c 'import re, sys; print(len(re.findall(rb"/Type\s*/Page(?![a-zA-Z])", open(sys.argv[1], "rb").read())))' "$pdf")
[ "$pages" = 1 ] || fail "the results print on $pages pages, not one"
echo "the results print on one page"

if [ -n "${2:-}" ]; then
  chromium_run --screenshot="$work/sheet.png" --window-size=1240,1754 --hide-scrollbars "file://$page"
  [ -s "$work/sheet.png" ] || fail "chromium took no screenshot"
  cp "$work/sheet.png" "$2"
fi
