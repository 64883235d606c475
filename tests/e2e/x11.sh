# Helpers for the tests that drive the real program under Xvfb; sourced, not run.

# Starts Xvfb on a free display of the given range and waits for it; sets DISPLAY and
# adds the server to the pids to end.
start_xvfb() { # first last geometry
  local n
  for n in $(seq "$1" "$2"); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 "$3" -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=":$n"
  unset QT_QPA_PLATFORM
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
