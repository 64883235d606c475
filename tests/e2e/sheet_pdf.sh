#!/usr/bin/env bash
# The night's sheet on paper: a long night (40 levels, a break after every fourth, four
# colour-ups, 20 places paid), as the program writes it, printed to A4 by Debian's Chromium,
# headless, fills exactly one sheet; its title is text, never markup. With a second argument,
# the page is also shown at A4's size at 150 dpi (1240x1754) and saved there as PNG.
#   sheet_pdf.sh SHEET_PROBE [PNG]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/x11.sh"
begin_test
export HOME="$work/home"
mkdir -p "$HOME"

page=$("$1" "$work/sheets") || fail "the probe wrote no sheet"
[ -f "$page" ] || fail "no page at $page"
[ "$(basename "$page")" = chiplark-sheet-2026-12-10.html ] || fail "the sheet is named $(basename "$page")"
grep -qF '<h1>Friday &lt;Deepstack&gt; &amp; &quot;Friends&quot;' "$page" || fail "the title is not escaped"
! grep -q '<Deepstack>' "$page" || fail "the title's markup is in the page"
! grep -qi '<script' "$page" || fail "the sheet runs a script"
[ "$(grep -c '<p>After round' "$page")" = 4 ] || fail "the sheet does not list four colour-ups"

# Chromium with a profile of the test's own, ended by its pid if it does not end by itself.
chromium_run() { # flags...
  chromium --headless --no-sandbox --disable-gpu --no-first-run --no-default-browser-check \
    --user-data-dir="$work/chromium" "$@" >>"$work/out.log" 2>&1 &
  local pid=$!
  pids+=($pid)
  wait_until 90 eval '! kill -0 "$pid" 2>/dev/null' || fail "chromium did not end"
  wait "$pid" || fail "chromium failed"
}

pdf="$work/sheet.pdf"
chromium_run --print-to-pdf="$pdf" --no-pdf-header-footer "file://$page"
[ -s "$pdf" ] || fail "chromium printed no PDF"
pages=$(python3 -c 'import re, sys; print(len(re.findall(rb"/Type\s*/Page(?![a-zA-Z])", open(sys.argv[1], "rb").read())))' "$pdf")
[ "$pages" = 1 ] || fail "the sheet prints on $pages pages, not one"
echo "the sheet prints on one page"

if [ -n "${2:-}" ]; then
  chromium_run --screenshot="$work/sheet.png" --window-size=1240,1754 --hide-scrollbars "file://$page"
  [ -s "$work/sheet.png" ] || fail "chromium took no screenshot"
  cp "$work/sheet.png" "$2"
fi
