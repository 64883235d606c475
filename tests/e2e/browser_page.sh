#!/usr/bin/env bash
# The clock's page in a real browser: Debian's Chromium, headless, driven through the
# DevTools protocol by puppeteer-core (installed from npm into the build folder, never
# downloading a browser). A phone's page shows what the display shows; a TV with a browser
# from years back shows the clock alone, big; the host's phone opens the controls, gives the
# PIN, pauses, resumes and skips, with finger-sized buttons, and keeps the PIN over a reload;
# the pages reconnect after the server restarts, and say so when the address has changed.
#   browser_page.sh PAGE_PROBE BUILD_FOLDER [SCREENSHOT_FOLDER]
set -euo pipefail
probe="$(realpath "$1")"
modules="$2/browser-test"
shots="${3:-}"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/x11.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" HOME="$work/home"
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$HOME"
chmod 700 "$XDG_RUNTIME_DIR"

install_puppeteer "$modules"
chromium=$(command -v chromium)
QT_QPA_PLATFORM=offscreen PROBE="$probe" CHROMIUM="$chromium" SHOTS="$shots" \
  NODE_PATH="$modules/node_modules" node "$here/browser_page.cjs"
