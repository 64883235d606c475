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
own_home

page=$("$1" "$work/sheets") || fail "the probe wrote no sheet"
[ -f "$page" ] || fail "no page at $page"
[ "$(basename "$page")" = chiplark-sheet-2026-12-10.html ] || fail "the sheet is named $(basename "$page")"
grep -qF '<h1>Friday &lt;Deepstack&gt; &amp; &quot;Friends&quot;' "$page" || fail "the title is not escaped"
! grep -q '<Deepstack>' "$page" || fail "the title's markup is in the page"
! grep -qi '<script' "$page" || fail "the sheet runs a script"
[ "$(grep -c '<p>After round' "$page")" = 4 ] || fail "the sheet does not list four colour-ups"

one_sheet "$page" "the sheet" "${2:-}"
