#!/usr/bin/env bash
# The page's address outlasts the program: the real program under Xvfb serves the page, a
# page in headless Chromium stays open while the program exits and starts again, while
# serving is turned off and on in "More options", and until "New address and PIN", which the
# page must report instead of reconnecting for ever.
#   page_address.sh PROGRAM BUILD_FOLDER
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/x11.sh"
begin_browser_test "$2"
place_program "$1" "$work/app" '[Config]' 'Title=Address night' '[Screens]' 'ServeOnNetwork=1'
start_xvfb 1024x768x24 || fail "no X server"
APP="$work/app" CHROMIUM="$(command -v chromium)" NODE_PATH="$modules/node_modules" node "$here/page_address.cjs"
