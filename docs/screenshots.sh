#!/usr/bin/env bash
# Takes the screenshots in docs/ from the built program under Xvfb:
#   docs/screenshots.sh build/src/chiplark
set -euo pipefail
program="$(realpath "$1")"
docs="$(cd "$(dirname "$0")" && pwd)"
work=$(mktemp -d)
source "$docs/../tests/e2e/x11.sh"
use_own_runtime "$work"
trap 'kill $app $xvfb 2>/dev/null || true; stop_speech_server; rm -rf "$work"' EXIT
cp "$program" "$work/chiplark"
cp -r "$(dirname "$program")/Saved Blinds" "$work/" 2>/dev/null || true
printf '%s\r\n' '[Config]' 'Title=Friday night hold'"'"'em - 1500 chips' 'Currency=£' 'CurrencyOpt=0' '[Blinds]' 'AutoSmall=25' 'AutoBig=50' \
  'AutoRounds=12' 'AutoTime=20' 'AutoIncrease=0' 'BlindFactor=2' '[Breaks]' 'Break=2' 'BreakTime=10' 'BreakOpt=0' \
  '[Ante]' 'AnteAmount=25' 'AnteRound=2' 'AnteFactor=2' 'AnteOpt=1' > "$work/chiplark.ini"
Xvfb :77 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 & xvfb=$!
export DISPLAY=:77
sleep 1
"$work/chiplark" >/dev/null 2>&1 & app=$!
sleep 1.5
settings=$(xdotool search --onlyvisible --name '^Chiplark! - version 1.0$' | head -1)
xdotool windowfocus --sync "$settings"
sleep 0.3
import -window "$settings" "$docs/settings-window.png"
xdotool key Tab Down Return
sleep 1.5
xdotool key space     # level 2: the ante starts
sleep 1.2
import -window root "$docs/display-level.png"
xdotool key space     # the break after level 2
sleep 1.2
import -window root "$docs/display-break.png"
xdotool key Escape
sleep 0.5
xdotool windowfocus --sync "$settings"
xdotool key Escape
