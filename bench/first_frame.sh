#!/usr/bin/env bash
# Start-up against the floor: the settings window's first frame on the screen beside that
# of a minimal Qt program showing one label in the same font (bench/first_label.cpp), in
# paired runs under a private Xvfb. Chiplark runs from a fresh folder of its own with the
# ready structures and no settings file, as on its first run.
#   bench/first_frame.sh [build folder, default build-bench] [pairs, default 40]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(realpath "${1:-build-bench}")"
pairs="${2:-40}"
source "$here/../tests/e2e/x11.sh"
work=$(mktemp -d)
use_own_runtime "$work"
pids=()
cleanup() { end_pids "${pids[@]}"; stop_speech_server; rm -rf "$work"; }
trap cleanup EXIT

mkdir -p "$work/chiplark" "$work/label" "$work/fb"
cp "$build/src/chiplark" "$build/src"/chiplark-*.so "$work/chiplark/"
cp -r "$here/../data/Saved Blinds" "$work/chiplark/"
cp "$build/bench/first_label" "$work/label/"

# -br -nocursor: a black screen with nothing on it, so the first frame is the first pixel
# that is not black.
start_xvfb 1024x768x24 -fbdir "$work/fb" -br -nocursor || { echo "no X server"; exit 1; }
"$build/bench/first_frame" "$work/fb/Xvfb_screen0" "$pairs" "$work/chiplark/chiplark" "$work/label/first_label" \
  | sed -e "s|$work/chiplark/chiplark|Chiplark settings window|" -e "s|$work/label/first_label|one-label Qt window|"
