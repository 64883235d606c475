#!/usr/bin/env bash
# The clock's page under load (bench/page_bench.cjs): the program's processor time with no
# page and with 20 pages in headless Chromium, the game clock's drift, and the latency from a
# tick to the page's DOM, over 300 s each.
#   bench/page_bench.sh build-test [seconds per phase, default 300] [pages, default 20]
set -euo pipefail
build="$(realpath "${1:-build-test}")"
here="$(cd "$(dirname "$0")" && pwd)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
modules="$build/browser-test"
if [ ! -d "$modules/node_modules/puppeteer-core" ]; then
  PUPPETEER_SKIP_DOWNLOAD=1 npm install --prefix "$modules" --no-audit --no-fund --loglevel=error \
    --cache "$modules/npm-cache" puppeteer-core@24.43.1 >/dev/null
fi
QT_QPA_PLATFORM=offscreen PROBE="$build/tests/page_probe" CHROMIUM="$(command -v chromium)" \
  SECONDS_EACH="${2:-300}" PAGES="${3:-20}" NODE_PATH="$modules/node_modules" node "$here/page_bench.cjs"
