#!/usr/bin/env bash
# The clock's page in Debian's Chromium, headless, driven through the DevTools protocol by
# puppeteer-core. A phone's page shows what the display shows; a TV with a browser from years
# back shows the clock alone, big; the host's phone opens the controls, gives the PIN, pauses,
# resumes and skips (asked first), with finger-sized buttons, and keeps its control key,
# forgetting one the clock does not know; the pages say so when the address has changed; a
# game that counts players shows what the display shows, and every place paid. Then a game at
# two tables (page_seats.cjs): the host's phone busts and moves by tapping the seats drawn, and
# a TV shows the seats drawn and, at the end, every place. Then a chip case (page_chips.cjs): a
# TV shows the colour-up a level ahead and in the break, the add-on and the plan; the host's
# phone races the leftover small chips at each table.
#   browser_page.sh PAGE_PROBE BUILD_FOLDER [SCREENSHOT_FOLDER]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/x11.sh"
begin_browser_test "$2"
for script in browser_page.cjs page_seats.cjs page_chips.cjs; do
  QT_QPA_PLATFORM=offscreen PROBE="$(realpath "$1")" CHROMIUM="$(command -v chromium)" SHOTS="${3:-}" \
    NODE_PATH="$modules/node_modules" node "$here/$script"
done
