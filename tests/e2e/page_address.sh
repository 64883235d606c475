#!/usr/bin/env bash
# The page's address outlasts the program: the real program under Xvfb serves the page, a
# page in headless Chromium stays open while the program exits and starts again, while
# serving is turned off and on in "More options", and until "New address and PIN", which the
# page must report instead of reconnecting for ever.
#   page_address.sh PROGRAM BUILD_FOLDER
set -euo pipefail
program="$1"
modules="$2/browser-test"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/x11.sh"
work=$(mktemp -d)
use_own_runtime "$work"
export HOME="$work/home"
mkdir -p "$HOME"
pids=()
cleanup() {
  end_pids "${pids[@]}"
  stop_speech_server
  rm -rf "$work"
}
trap cleanup EXIT

install_puppeteer "$modules"
mkdir -p "$work/app"
cp "$program" "${program%/*}/chiplark-media.so" "$work/app/"
printf '%s\r\n' '[Config]' 'Title=Address night' '[Screens]' 'ServeOnNetwork=1' > "$work/app/chiplark.ini"
start_xvfb 90 140 1024x768x24 || { echo "FAIL: no X server"; exit 1; }
APP="$work/app" CHROMIUM="$(command -v chromium)" NODE_PATH="$modules/node_modules" node "$here/page_address.cjs"
