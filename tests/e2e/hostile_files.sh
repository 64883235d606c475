#!/usr/bin/env bash
# The real program under Xvfb, as an unprivileged user (so file permissions count), with
# something hostile as its settings file, a saved structure or a game left running: a file
# it may not read, a FIFO, a link to /dev/zero, a folder, a 50 MB file. Each time the settings
# window is up within 2 s (an unreadable game reported, the report closed with Enter), Escape
# ends the program normally, and the thing is exactly as it was.
set -euo pipefail
program="$1"
source "$(dirname "$0")/x11.sh"
begin_test
chmod 755 "$work"
[ "$(id -u)" -eq 0 ] || { echo "needs root to run the program as another user; skipped"; echo "0 passed, 0 failed"; exit 0; }
user=65534
chown -R "$user:$user" "$work"
start_xvfb 1024x768x24 || fail "no X server"

# What stands at a path, without following a link.
fingerprint() {
  if [ -L "$1" ]; then echo "link to $(readlink "$1")"
  elif [ -p "$1" ]; then echo fifo
  elif [ -d "$1" ]; then echo "folder $(stat -c %a "$1")"
  elif [ -f "$1" ]; then echo "file $(stat -c '%a %s %Y' "$1") $(sha1sum <"$1" | cut -c1-40)"
  else echo nothing; fi
}
make_thing() { # kind path
  case "$1" in
    unreadable) printf '[Config]\r\nTitle=Secret\r\n' >"$2"; chmod 000 "$2" ;;
    fifo) mkfifo "$2" ;;
    zero) ln -s /dev/zero "$2" ;;
    folder) mkdir "$2" ;;
    huge) printf '[Config]\r\nTitle=Huge\r\n1,2,60\r\n' >"$2"; truncate -s 50M "$2" ;;
  esac
  chown -h "$user:$user" "$2"
}

passed=0
for place in chiplark.ini "Saved Blinds/x.bld" chiplark-game.json; do
  for kind in unreadable fifo zero folder huge; do
    dir="$work/case"
    rm -rf "$dir"
    place_program "$program" "$dir"
    mkdir "$dir/Saved Blinds"
    printf '10,20,600\r\n' >"$dir/Saved Blinds/ready.bld"
    make_thing "$kind" "$dir/$place"
    chown -R "$user:$user" "$dir"
    before=$(fingerprint "$dir/$place")
    began=$(date +%s%N)
    start_program setpriv --reuid="$user" --regid="$user" --clear-groups env -C "$dir" ./chiplark
    ms=$(( ($(date +%s%N) - began) / 1000000 ))
    [ "$ms" -lt 2000 ] || fail "$kind as $place: the window took $ms ms"
    if [ "$place" = chiplark-game.json ]; then
      answer '^Chiplark$' "$kind as $place: not reported"
      window_gone '^Chiplark$' || fail "$kind as $place: the report stayed"
      xdotool windowfocus --sync "$settings"
    fi
    xdotool key Escape
    program_ended "$kind as $place: Escape"
    wait "$app" || fail "$kind as $place: the program ended with $?"
    after=$(fingerprint "$dir/$place")
    [ "$before" = "$after" ] || fail "$kind as $place: was '$before', is '$after'"
    # Beside a hostile structure the settings are written as always.
    [ "$place" = chiplark.ini ] || [ -f "$dir/chiplark.ini" ] || fail "$kind as $place: the settings were not written"
    echo "$kind as $place: window after $ms ms, ended normally, unchanged ($after)"
    passed=$((passed + 1))
  done
done
echo "$passed passed, 0 failed"
