#!/usr/bin/env bash
# The night's results on paper: a page of 48 places and 40 levels, as the program writes it,
# printed to A4 by Debian's Chromium, headless, fills exactly one sheet. With a second
# argument, the page is also shown at A4's size at 150 dpi (1240x1754) and saved there as PNG.
#   results_pdf.sh RESULTS_PROBE [PNG]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/x11.sh"
begin_test
own_home

page=$("$1" "$work/results") || fail "the probe wrote no results"
[ -f "$page" ] || fail "no page at $page"

one_sheet "$page" "the results" "${2:-}"
