#!/usr/bin/env bash
# A game left running, against the floor: the memory of the whole process tree (the program,
# what it started, and the speech server under this run's own runtime folder), the wakeups
# and processor time of the program, and the wakeups and processor time of the X server it
# shows on, at 1920x1080 under Xvfb with openbox and a PulseAudio null sink. The floor is a
# one-label Qt program, full screen, renewing its label once a second (bench/first_label.cpp
# tick). Chiplark runs from a fresh folder as on its first run, the automatic structure chosen
# and the game started by mouse or key, in these cases:
#   - speech and sound off: "More options..." opened, Tab pressed through it and closed (Escape)
#     first;
#   - speech on: "Announce blinds via Speech Engine" ticked and Return pressed at once, while
#     the voices are still being listed;
#   - speech ticked and unticked again, then Return;
#   - counting with the page on: the settings written by a first run, the page and the count
#     of players turned on in the file, Return, ten buy-ins keyed on the display.
#   bench/idle_game.sh [build folder, default build-bench] [rounds, default 3] [seconds, default 60]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(realpath "${1:-build-bench}")"
rounds="${2:-3}"
seconds="${3:-60}"
source "$here/../tests/e2e/x11.sh"
begin_test
start_xvfb 1920x1080x24 || fail "no X server"
start_openbox || fail "no window manager"
start_bus quiet
start_pulse || fail "no sound server"
servers=("${pids[@]}")
xserver=${pids[0]}

tree() {
  local p
  for p in "$@"; do
    if [ -n "$p" ]; then echo "$p"; descendants "$p"; fi
  done
}
# The measured program and all it set running, wherever they went (a speech server puts
# itself and its voices in the background): every process of this run's own runtime
# folder but the servers the bench started itself.
measured() {
  local own p
  own=" $(tree "${servers[@]}" | tr '\n' ' ') "
  for p in $(ls /proc | grep -E '^[0-9]+$'); do
    tr '\0' '\n' 2>/dev/null <"/proc/$p/environ" | grep -qx "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" || continue
    case "$own" in *" $p "*) ;; *) echo "$p" ;; esac
  done
}
# The speech server of this run, while it runs.
speech_server() {
  local p; p=$(cat "$XDG_RUNTIME_DIR/speech-dispatcher/pid/speech-dispatcher.pid" 2>/dev/null) || return 0
  kill -0 "$p" 2>/dev/null && echo "$p" || true
}
# Proportional and resident set sizes of the processes, in kB.
memory() {
  local pss=0 rss=0 p v
  for p in "$@"; do
    v=$(awk '/^Pss:/ { print $2 }' "/proc/$p/smaps_rollup" 2>/dev/null) && pss=$((pss + ${v:-0}))
    v=$(awk '/^VmRSS:/ { print $2 }' "/proc/$p/status" 2>/dev/null) && rss=$((rss + ${v:-0}))
  done
  echo "$pss $rss"
}
# Per thread, so a thread that ends meanwhile takes nothing away from the others: the times
# it went to sleep and was woken again (its voluntary context switches), and the time it ran
# on a processor in nanoseconds.
threads() {
  local t
  for t in /proc/"$1"/task/*; do
    echo "${t##*/} $(awk '/^voluntary_ctxt_switches/ { print $2 }' "$t/status" 2>/dev/null) $(cut -d' ' -f1 "$t/schedstat" 2>/dev/null)"
  done
}
# Wakeups a second and the percentage of a core between two lists of threads.
rates() { # before after seconds
  awk -v s="$3" 'NR == FNR { w[$1] = $2; c[$1] = $3; next } $2 != "" { n += $2 - w[$1]; t += $3 - c[$1] }
    END { printf "%7.2f %7.3f", n / s, 100 * t / 1e9 / s }' <(echo "$1") <(echo "$2")
}
click() { xdotool mousemove $(($1 + $3)) $(($2 + $4)) click 1; }

# Starts one case; sets app.
start_floor() {
  "$build/bench/first_label" tick >/dev/null 2>&1 &
  app=$!; pids+=($app)
  wait_until 10 eval "xdotool search --onlyvisible --pid $app >/dev/null 2>&1" || fail "no floor window"
}
# Starts the program from a fresh folder; sets app.
start_fresh() {
  stop_speech_server
  rm -rf "$work/game"
  place_program "$build/src/chiplark" "$work/game"
  start_automatic
}
start_automatic() {
  start_program "$work/game/chiplark"
  eval "$(xdotool getwindowgeometry --shell "$settings" | grep -E '^[XY]=')"
  click "$X" "$Y" 22 276 # the automatic structure
}
shown() { find_window '^Chiplark display$' >/dev/null || fail "no display"; }
game_off() {
  start_fresh
  click "$X" "$Y" 544 392 # More options...
  local dialog; dialog=$(find_window '^More options$') || fail "no options dialog"
  xdotool windowfocus --sync "$dialog" key --delay 100 Tab Tab Tab
  xdotool key Escape # closed
  window_gone '^More options$' || fail "the dialog stayed"
  click "$X" "$Y" 543 428 # Start the game!
  shown
}
game_speech() { # unticked again: 1
  start_fresh
  click "$X" "$Y" 22 468 # Announce blinds via Speech Engine
  [ "${1:-0}" = 1 ] && click "$X" "$Y" 22 468
  xdotool key Return
  shown
  [ "${1:-0}" = 1 ] || wait_until 30 eval '[ -n "$(speech_server)" ]' || fail "no speech server"
}
game_counting() {
  start_fresh
  xdotool key alt+F4 # the settings written, the count and the page added to them
  program_ended "Alt+F4" || fail "the program did not end"
  printf '%s\r\n' '[Screens]' 'ServeOnNetwork=1' '[Tournament]' 'Count=1' 'BuyIn=20' 'BuyInChips=10000' \
    >>"$work/game/chiplark.ini"
  start_automatic
  xdotool key Return
  shown
  xdotool key --delay 200 e e e e e e e e e e
  wait_until 10 python3 -c 'import json, sys; sys.exit(len(json.load(open(sys.argv[1]))["records"]) != 10)' \
    "$work/game/chiplark-game.json" 2>/dev/null ||
    fail "ten buy-ins not counted"
}

measure() { # name
  sleep 40 # settled: the start's work done, its idle helper threads gone (30 s), a speech server let go gone (5 s)
  local a0 a1 x0 x1
  a0=$(threads "$app"); x0=$(threads "$xserver")
  sleep "$seconds"
  a1=$(threads "$app"); x1=$(threads "$xserver")
  local all; all=$(measured)
  read -r pss rss < <(memory $all)
  local speechd; speechd=$(echo "$(speech_server)" | grep -c . || true)
  printf '%-34s %s %s %9.1f %9.1f %8d %7d\n' "$1" "$(rates "$a0" "$a1" "$seconds")" "$(rates "$x0" "$x1" "$seconds")" \
    "$(awk -v k="$pss" 'BEGIN { print k / 1024 }')" "$(awk -v k="$rss" 'BEGIN { print k / 1024 }')" \
    "$(echo "$all" | grep -c .)" "$speechd"
  end_pids $(tree "$app")
  stop_speech_server
  wait_until 10 eval '[ -z "$(measured)" ]' || fail "left running: $(measured)"
}

printf '%-34s %7s %7s %7s %7s %9s %9s %8s %7s\n' case "wake/s" "%core" "X wake" "X %core" "PSS MB" "RSS MB" \
  processes speechd
for round in $(seq "$rounds"); do
  start_floor; measure "floor (one label, 1 s timer)"
  game_off; measure "game, speech and sound off"
  game_speech; measure "speech on (Return at the tick)"
  game_speech 1; measure "speech ticked and unticked"
  game_counting; measure "counting with the page on"
done
