# Helpers for the tests that drive the real program under Xvfb; sourced, not run.

# Starts Xvfb on a display it picks itself among the free ones (so a server still ending
# from an earlier test is never mistaken for ours) and waits until it answers; sets DISPLAY
# and adds the server to the pids to end. The arguments' range is kept for the callers.
# -noreset: by default the server resets when its last client leaves, and a program that
# connects during that reset (just after the readiness probe below has left) is refused.
start_xvfb() { # first last geometry [more Xvfb options]
  local said; said=$(mktemp)
  Xvfb -displayfd 1 -screen 0 "$3" -nolisten tcp -noreset "${@:4}" >"$said" 2>/dev/null &
  local pid=$!
  pids+=($pid)
  unset QT_QPA_PLATFORM
  for _ in $(seq 100); do
    [ -s "$said" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  local n; n=$(head -1 "$said"); rm -f "$said"
  [ -n "$n" ] || return 1
  export DISPLAY=":$n"
  for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

# Prints the first visible window whose name matches, waiting up to 10 s for it.
find_window() {
  local w
  for _ in $(seq 100); do
    w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  return 1
}

# A runtime folder of the test's own: the speech server the program starts in the background
# lives there, not beside the user's.
use_own_runtime() { # folder
  export XDG_RUNTIME_DIR="$1/run" XDG_CONFIG_HOME="$1/config" XDG_CACHE_HOME="$1/cache"
  mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
  chmod 700 "$XDG_RUNTIME_DIR"
  unset SPEECHD_ADDRESS
}

# Ends the speech server started under the test's runtime folder, through its pid file.
# A server still coming up when the program ended writes its pid file a moment later.
stop_speech_server() {
  local dir="${XDG_RUNTIME_DIR:-}/speech-dispatcher"
  local pidfile="$dir/pid/speech-dispatcher.pid"
  [ -d "$dir" ] || return 0
  for _ in $(seq 50); do [ -s "$pidfile" ] && break; sleep 0.1; done
  [ -s "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null || true
}

# Ends the processes the test started, by pid, and waits for its own children to be gone:
# an X server still ending would otherwise delete the socket of the next test's server
# that took the same display.
end_pids() {
  local p
  for p in "$@"; do kill "$p" 2>/dev/null || true; done
  for p in "$@"; do wait "$p" 2>/dev/null || true; done
}

# puppeteer-core from npm into the build folder, once; it never downloads a browser.
install_puppeteer() { # folder
  [ -d "$1/node_modules/puppeteer-core" ] && return 0
  mkdir -p "$1"
  PUPPETEER_SKIP_DOWNLOAD=1 npm install --prefix "$1" --no-audit --no-fund --no-update-notifier \
    --loglevel=error --cache "$1/npm-cache" puppeteer-core@24.43.1 >/dev/null
}

# Starts openbox, a window manager, and waits until it manages windows: a window mapped
# while it is still starting may never be framed, and stays unmapped.
start_openbox() { # log file
  openbox --sm-disable >"$1" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0; sleep 0.1; done
  return 1
}
