# What the tests that run the real program share, sourced: a work folder and runtime folders of
# the test's own (where the speech server the program starts lives, not beside the user's), an
# X server, a window manager, session buses, a sound server, the program itself and the steps
# that drive it. Everything started here is ended by its pid at exit. begin_test sets work and pids.
begin_test() {
  work=$(mktemp -d)
  pids=()
  use_own_runtime "$work"
  trap end_test EXIT
}
use_own_runtime() { # folder
  export XDG_RUNTIME_DIR="$1/run" XDG_CONFIG_HOME="$1/config" XDG_CACHE_HOME="$1/cache"
  mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
  chmod 700 "$XDG_RUNTIME_DIR"
  unset SPEECHD_ADDRESS
}
descendants() { local c; for c in $(pgrep -P "$1" || true); do descendants "$c"; echo "$c"; done; }
end_test() {
  local all=() i
  for (( i = ${#pids[@]} - 1; i >= 0; i-- )); do all+=($(descendants "${pids[i]}") "${pids[i]}"); done # last first
  end_pids "${all[@]}"
  stop_speech_server
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
fail() {
  echo "FAIL: $*"
  [ -s "$work/out.log" ] && { echo "--- what the program printed:"; cat "$work/out.log"; }
  exit 1
}

# Ends the processes the test started, by pid, and waits for its own children to be gone: an X
# server still ending would otherwise delete the socket of the next test's on the same display.
end_pids() {
  local p
  kill "$@" 2>/dev/null || true
  for p in "$@"; do wait "$p" 2>/dev/null || true; done
}

# Ends the speech server under the test's runtime folder through its pid file (which a server
# still coming up writes a moment later), and waits until it is gone.
stop_speech_server() {
  local dir="${XDG_RUNTIME_DIR:-}/speech-dispatcher" pid
  local pidfile="$dir/pid/speech-dispatcher.pid"
  [ -d "$dir" ] || return 0
  wait_until 5 test -s "$pidfile" || return 0
  pid=$(cat "$pidfile")
  kill "$pid" 2>/dev/null || true
  # A server whose sound output is stuck (no sound server) does not end on SIGTERM.
  wait_until 5 eval '! kill -0 "$pid" 2>/dev/null' || kill -KILL "$pid" 2>/dev/null || true
  rm -f "$pidfile"
}

# Repeats a command every tenth of a second until it succeeds, for up to the given seconds.
wait_until() { # seconds command...
  local n=$(( $1 * 10 ))
  shift
  for _ in $(seq "$n"); do "$@" && return 0; sleep 0.1; done
  "$@"
}

# Starts Xvfb on a free display it picks itself (a server still ending from an earlier test is
# never mistaken for ours) and waits until it answers; sets DISPLAY. -noreset: a server resets
# when its last client leaves, refusing a program that connects meanwhile (after the probe).
start_xvfb() { # geometry [more Xvfb options]
  local said; said=$(mktemp)
  Xvfb -displayfd 1 -screen 0 "$1" -nolisten tcp -noreset "${@:2}" >"$said" 2>/dev/null &
  pids+=($!)
  unset QT_QPA_PLATFORM
  wait_until 5 test -s "$said" || return 1
  export DISPLAY=":$(head -1 "$said")"
  rm -f "$said"
  wait_until 5 xdotool getdisplaygeometry >/dev/null 2>&1
}

# Starts openbox, a window manager, and waits until it manages windows: a window mapped
# while it is still starting may never be framed, and stays unmapped.
start_openbox() {
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  pids+=($!)
  wait_until 10 eval "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'"
}
# Xvfb of that geometry with openbox on it, or the test fails.
start_desktop() { start_xvfb "$1" || fail "no X server"; start_openbox || fail "no window manager"; }

# A session bus of the test's own; with "quiet", one that starts no service on demand, so
# nothing answers as a screensaver and no accessibility bus or settings daemon comes up.
start_bus() { # [quiet]
  local config=(--session)
  if [ "${1:-}" = quiet ]; then
    printf '%s\n' '<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>' \
      '<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>' \
      '<allow own="*"/></policy></busconfig>' >"$work/bus.conf"
    config=(--config-file="$work/bus.conf")
  fi
  local said; said=$(dbus-daemon "${config[@]}" --fork --print-address=1 --print-pid=1)
  export DBUS_SESSION_BUS_ADDRESS="${said%%$'\n'*}"
  pids+=("${said##*$'\n'}")
}

# A PulseAudio server of the test's own, a null sink the default, kept running by a silent stream:
# an idle null sink's monitor delivers nothing, and a recording could miss what follows a silence.
start_pulse() {
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --log-target=stderr \
    -L "module-null-sink sink_name=null" -L module-native-protocol-unix >"$work/pa.log" 2>&1 &
  pids+=($!)
  wait_until 5 pactl info >/dev/null 2>&1 || return 1
  pactl set-default-sink null
  pactl set-sink-volume null 50% # no clipping in a recording
  pacat --playback --raw --format=s16le --rate=48000 --channels=2 </dev/zero &
  pids+=($!)
}

# The program and its modules copied into a folder of their own, with the given lines as the
# settings file it keeps beside itself.
place_program() { # program folder [settings lines...]
  mkdir -p "$2"
  cp "$1" "${1%/*}"/chiplark-*.so "$2/"
  [ $# -le 2 ] || printf '%s\r\n' "${@:3}" >"$2/chiplark.ini"
}

# Starts the program (command and arguments), its output to out.log, and gives its settings
# window the keyboard; sets app and settings. Under AddressSanitizer its leaks are traced in
# full: Qt has no frame pointers, so the fast unwinder loses a stack in the first Qt frame,
# where no suppression sees whose it is (the D-Bus manager's thread, still leaving at exit, is
# a leak one run in many). Only here, on the real X server: everywhere it is too slow.
start_program() { # command...
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:fast_unwind_on_malloc=0}" "$@" >"$work/out.log" 2>&1 &
  app=$!
  pids+=($app)
  settings=$(find_window '^Chiplark! - version 1.0$') || fail "no settings window"
  xdotool windowfocus --sync "$settings"
}

# Waits up to 10 s for the program to end, or fails naming what did not end it.
program_ended() { wait_until 10 eval '! kill -0 "$app" 2>/dev/null' || fail "$1 did not end the program"; }

# Prints the first visible window whose name matches, waiting up to 10 s for it; window_gone
# waits up to 5 s for none to match.
find_window() { local name="$1"; wait_until 10 eval 'xdotool search --onlyvisible --name "$name" 2>/dev/null | sed -n 1p | grep .'; }
window_gone() { local name="$1"; wait_until 5 eval '! xdotool search --onlyvisible --name "$name" >/dev/null 2>&1'; }

# Steps the scripts share. answer: the window of that name answered with a key (Return unless
# given), or the test fails saying why. start_game: Enter on the settings window with the
# automatic structure shows the display, given the keyboard; sets display. leave_game: Escape
# on the display hides it. exit_kept: Alt+F4 on the settings window with a counted game kept
# says so, and ends the program. more_options: its dialog, given the keyboard; sets dialog.
answer() { local w; w=$(find_window "$1") || fail "$2"; xdotool windowfocus --sync "$w" key "${3:-Return}"; }
start_game() {
  xdotool key Tab Down Return
  display=$(find_window '^Chiplark display$') || fail "Enter did not show the display"
  xdotool windowfocus --sync "$display"
}
leave_game() { xdotool windowfocus --sync "$display" key Escape; window_gone '^Chiplark display$' || fail "Escape left the display up"; }
exit_kept() {
  xdotool windowfocus --sync "$settings" key alt+F4
  answer '^Chiplark$' "Exit did not say the game is kept"
  program_ended "Alt+F4 on the settings window"
}
kill_program() { kill -KILL "$app"; wait "$app" 2>/dev/null || true; }
more_options() {
  xdotool mousemove --window "$settings" 544 412 click 1
  dialog=$(find_window '^More options$') || fail "no More options window"
  xdotool windowfocus --sync "$dialog"
}
# The players' names typed on "More options…" → "Tables & names" (its fifth page) before the
# start, then "Start the game!" clicked: the display up, given the keyboard; sets display.
start_named() { # name...
  xdotool key Tab Down # the automatic structure
  more_options
  xdotool key ctrl+Tab ctrl+Tab ctrl+Tab ctrl+Tab alt+w
  for n in "$@"; do xdotool type "$n"; xdotool key Return; done
  xdotool key Escape
  window_gone '^More options$' || fail "More options did not close"
  xdotool windowfocus --sync "$settings"
  xdotool mousemove --window "$settings" 544 448 click 1 # "Start the game!"
  display=$(find_window '^Chiplark display$') || fail "Start did not show the display"
  xdotool windowfocus --sync "$display"
}
# The kept game (the file at game) read back: a Python expression of g, the file, and n(kind), how
# many records of that kind; a tuple printed space-separated.
read_game() {
  python3 -c 'import json, sys; g = json.load(open(sys.argv[1])); n = lambda a: sum(1 for r in g["records"] if r[0] == a)
r = eval(sys.argv[2]); print(*(r if isinstance(r, tuple) else [r]))' "$game" "$1"
}
# The first taken seat of a table, as the kept game says.
first_seat() { read_game "next(i + 1 for i, e in enumerate(g['seatMap'][$1 - 1]) if e)"; }
# A session bus with the accessibility bus on it; a home folder of the test's own.
start_atspi() { start_bus; "${ATSPI_LAUNCHER:-/usr/libexec/at-spi-bus-launcher}" --launch-immediately >"$work/atspi.log" 2>&1 & pids+=($!); }
own_home() { export HOME="$work/home"; mkdir -p "$HOME"; }

# A test that drives the page in headless Chromium: begin_test, a home of its own, and
# puppeteer-core in the build folder (modules), installed once, never downloading a browser.
begin_browser_test() { # build folder
  begin_test
  own_home
  modules="$1/browser-test"
  install_puppeteer "$modules"
}
install_puppeteer() { # folder
  [ -d "$1/node_modules/puppeteer-core" ] && return 0
  mkdir -p "$1"
  PUPPETEER_SKIP_DOWNLOAD=1 npm install --prefix "$1" --no-audit --no-fund --no-update-notifier \
    --loglevel=error --cache "$1/npm-cache" puppeteer-core@24.43.1 >/dev/null
}

# Chromium, headless, with a profile of the test's own, ended by its pid if it does not end.
chromium_run() { # flags...
  chromium --headless --no-sandbox --disable-gpu --no-first-run --no-default-browser-check \
    --user-data-dir="$work/chromium" "$@" >>"$work/out.log" 2>&1 &
  local pid=$!
  pids+=($pid)
  wait_until 90 eval '! kill -0 "$pid" 2>/dev/null' || fail "chromium did not end"
  wait "$pid" || fail "chromium failed"
}
# A page printed to A4 by Chromium must fill exactly one sheet; with PNG, the page is also shown
# at A4's size at 150 dpi (1240x1754) and saved there.
# printed_pages: the number of A4 sheets a page prints on.
printed_pages() { # page what
  local pdf="$work/printed.pdf"
  rm -f "$pdf"
  chromium_run --print-to-pdf="$pdf" --no-pdf-header-footer "file://$1"
  [ -s "$pdf" ] || fail "chromium printed no PDF of $2"
  python3 -c 'import re, sys; print(len(re.findall(rb"/Type\s*/Page(?![a-zA-Z])", open(sys.argv[1], "rb").read())))' "$pdf"
}
one_sheet() { # page what [png]
  local pages
  pages=$(printed_pages "$1" "$2")
  [ "$pages" = 1 ] || fail "$2 print on $pages pages, not one"
  echo "$2 print on one page"
  [ -n "${3:-}" ] || return 0
  chromium_run --screenshot="$work/printed.png" --window-size=1240,1754 --hide-scrollbars "file://$1"
  [ -s "$work/printed.png" ] || fail "chromium took no screenshot of $2"
  cp "$work/printed.png" "$3"
}
