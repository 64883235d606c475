#!/usr/bin/env bash
# A game left running, against the floor: the memory of the whole process tree (the program,
# what it started, and the speech server under this run's own runtime folder) and the
# wakeups and processor time of the program, at 1920x1080 under Xvfb with openbox and a
# PulseAudio null sink. The floor is a one-label Qt program, full screen, renewing its label
# once a second (bench/first_label.cpp tick). Chiplark runs from a fresh folder as on its
# first run: the automatic structure chosen, "More options..." opened, Tab pressed through
# it and closed, and the game started, all by mouse, with speech and sound off; then once
# more with "Announce blinds via Speech Engine" ticked.
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
speech_server() { cat "$XDG_RUNTIME_DIR/speech-dispatcher/pid/speech-dispatcher.pid" 2>/dev/null || true; }
# Proportional and resident set sizes of the processes, in kB.
memory() {
  local pss=0 rss=0 p v
  for p in "$@"; do
    v=$(awk '/^Pss:/ { print $2 }' "/proc/$p/smaps_rollup" 2>/dev/null) && pss=$((pss + ${v:-0}))
    v=$(awk '/^VmRSS:/ { print $2 }' "/proc/$p/status" 2>/dev/null) && rss=$((rss + ${v:-0}))
  done
  echo "$pss $rss"
}
# Wakeups: the times any of the process's threads went to sleep and was woken again (its
# voluntary context switches); and its processor time in clock ticks.
# Per thread, so a thread that ends meanwhile takes nothing away from the others.
switches() {
  local t
  for t in /proc/"$1"/task/*; do
    echo "${t##*/} $(awk '/^voluntary_ctxt_switches/ { print $2 }' "$t/status" 2>/dev/null)"
  done
}
# Wakeups per second between two lists of switches.
per_second() { # before after seconds
  awk -v s="$3" 'NR == FNR { before[$1] = $2; next } { n += $2 - before[$1] } END { print n / s }' \
    <(echo "$1") <(echo "$2")
}
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
click() { xdotool mousemove $(($1 + $3)) $(($2 + $4)) click 1; }

# Starts one case; sets app.
start_floor() {
  "$build/bench/first_label" tick >/dev/null 2>&1 &
  app=$!; pids+=($app)
  wait_until 10 eval "xdotool search --onlyvisible --pid $app >/dev/null 2>&1" || fail "no floor window"
}
start_game() { # speech: 0 or 1
  stop_speech_server
  rm -rf "$work/game"
  place_program "$build/src/chiplark" "$work/game"
  start_program "$work/game/chiplark"
  local X Y
  eval "$(xdotool getwindowgeometry --shell "$settings" | grep -E '^[XY]=')"
  click "$X" "$Y" 22 276 # the automatic structure
  [ "$1" = 1 ] && click "$X" "$Y" 22 468 # Announce blinds via Speech Engine
  click "$X" "$Y" 544 392 # More options...
  local dialog; dialog=$(find_window '^More options$') || fail "no options dialog"
  xdotool windowfocus --sync "$dialog" key --delay 100 Tab Tab Tab
  eval "$(xdotool getwindowgeometry --shell "$dialog" | grep -E '^[XY]=')"
  local DX=$X DY=$Y
  click "$DX" "$DY" 573 470 # Close
  window_gone '^More options$' || fail "the dialog stayed"
  eval "$(xdotool getwindowgeometry --shell "$settings" | grep -E '^[XY]=')"
  click "$X" "$Y" 543 428 # Start the game!
  find_window '^Chiplark display$' >/dev/null || fail "no display"
  if [ "$1" = 1 ]; then wait_until 30 eval '[ -n "$(speech_server)" ]' || fail "no speech server"; fi
}

measure() { # name
  sleep 40 # settled: the start's work done and its idle helper threads gone (30 s)
  local s0 t0 s1 t1
  s0=$(switches "$app"); t0=$(ticks "$app")
  sleep "$seconds"
  s1=$(switches "$app"); t1=$(ticks "$app")
  local all; all=$(measured)
  read -r pss rss < <(memory $all)
  local speechd; speechd=$(echo "$(speech_server)" | grep -c . || true)
  printf '%-34s %7.2f %7.3f %9.1f %9.1f %8d %7d\n' "$1" \
    "$(per_second "$s0" "$s1" "$seconds")" \
    "$(awk -v a="$t0" -v b="$t1" -v s="$seconds" -v hz="$(getconf CLK_TCK)" 'BEGIN { print 100 * (b - a) / hz / s }')" \
    "$(awk -v k="$pss" 'BEGIN { print k / 1024 }')" "$(awk -v k="$rss" 'BEGIN { print k / 1024 }')" \
    "$(echo "$all" | grep -c .)" "$speechd"
  end_pids $(tree "$app")
  stop_speech_server
  wait_until 10 eval '[ -z "$(measured)" ]' || fail "left running: $(measured)"
}

printf '%-34s %7s %7s %9s %9s %8s %7s\n' case "wake/s" "%core" "PSS MB" "RSS MB" processes speechd
for round in $(seq "$rounds"); do
  start_floor; measure "floor (one label, 1 s timer)"
  start_game 0; measure "game, speech and sound off"
  start_game 1; measure "game, speech on"
done
