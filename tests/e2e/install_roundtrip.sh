#!/usr/bin/env bash
# Installs Chiplark as a user would, into a fresh folder whose path holds characters a desktop
# entry must quote: the menu entry is registered in the user's own data folder, and it and the
# metadata pass the desktop's validators. Started as a launcher starts it (the entry's Exec
# line parsed by the desktop-entry rules, from another working folder) under Xvfb, the program
# loads a ready structure, saves it under a new name, keeps its settings beside itself and
# reads them back. register-menu --remove leaves nothing behind; an install into a folder the
# user cannot write is refused with a clear message.
set -euo pipefail
build="$1"
source "$(dirname "$0")/x11.sh"
begin_test

id=org.chiplark.Chiplark
own_home
unset XDG_DATA_HOME
mkdir -p "$work/elsewhere"
folder="$work/Game night's \$5 \"club\" 100%/Chiplark"
cmake --install "$build" --prefix "$folder" >"$work/install.log" || { cat "$work/install.log"; fail "the install failed"; }
for f in chiplark chiplark-speech.so chiplark-sound.so chiplark-screen.so chiplark-page.so manual.html register-menu "$id.desktop" "$id.metainfo.xml" \
  "icons/hicolor/scalable/apps/$id.svg" "Saved Blinds/1500 chips - 20 minute rounds.bld"; do
  [ -e "$folder/$f" ] || fail "the install lacks $f"
done

# Start-up loads only what the windows need: sound, speech and the screen keeping come from
# the module, after the first paint.
! ldd "$folder/chiplark" | grep -E 'TextToSpeech|Multimedia|libpulse|libXss' || fail "the program links the media libraries at start-up"

# The entries and the metadata, as the desktop's own tools judge them.
entry="$HOME/.local/share/applications/$id.desktop"
[ -f "$entry" ] || fail "the install registered no menu entry"
for f in "$entry" "$folder/$id.desktop"; do
  out=$(desktop-file-validate "$f" 2>&1) || fail "desktop-file-validate: $out"
  [ -z "$out" ] || fail "desktop-file-validate warns: $out"
done
appstreamcli validate --no-net "$folder/$id.metainfo.xml" >"$work/appstream.log" 2>&1 \
  || { cat "$work/appstream.log"; fail "appstreamcli rejects the metadata"; }
grep -qx "Icon=$id" "$entry" || fail "the entry does not name the icon $id"
for size in 16 22 24 32 48 64 128 256; do
  [ "$(identify -format '%wx%h' "$HOME/.local/share/icons/hicolor/${size}x$size/apps/$id.png" 2>/dev/null)" = "${size}x$size" ] ||
    fail "no ${size}x$size icon registered"
done
[ -s "$HOME/.local/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon registered"

start_xvfb 1024x768x24 || fail "no X server"
# What a launcher runs, from its own working folder.
mapfile -d '' command < <("$2" "$entry")
[ "${command[0]}" = "$folder/chiplark" ] || fail "the entry runs ${command[*]}, not $folder/chiplark"
[ "${#command[@]}" -eq 1 ] || fail "the entry passes arguments: ${command[*]}"
start() { start_program env -C "$work/elsewhere" "${command[@]}"; }
quit() { xdotool windowfocus --sync "$settings" key Escape; program_ended "Escape"; }

start
# The window belongs to the entry: its class is the one the entry names.
class=$(xprop -id "$settings" WM_CLASS)
grep -qx "StartupWMClass=$(echo "$class" | sed -n 's/.*, "\(.*\)"$/\1/p')" "$entry" \
  || fail "the window's class ($class) is not the entry's"
# The title box has the focus: a new title.
xdotool key ctrl+a; xdotool type --delay 20 "Install test"
# Load a ready structure with the mouse-free way: into the load box, Down, out again.
xdotool key Tab Tab Down Tab
# Save it under a new name: from the list, Tab passes Clear List, Add, Remove, Up and Down
# on to Save.
xdotool key Tab Tab Tab Tab Tab Tab space
answer '^Save Name:$' "Save asked for no name" ctrl+a
xdotool type --delay 20 "Club night"; xdotool key Return
window_gone '^Save Name:$' || fail "the name was not taken"
wait_until 5 test -s "$folder/Saved Blinds/Club night.bld" || fail "the structure was not saved"
quit

ini="$folder/chiplark.ini"
[ -e "$work/elsewhere/chiplark.ini" ] && fail "the settings went to the working folder"
grep -q $'^Title=Install test\r$' "$ini" || fail "the title was not saved beside the program"
[ "$(grep -c '=' "$ini")" -eq 32 ] || fail "the settings file does not hold its 32 keys"
cmp -s "$folder/Saved Blinds/Club night.bld" "$folder/Saved Blinds/1500 chips - 20 minute rounds.bld" \
  || fail "the saved structure is not the loaded one"

# Again: the title comes back from the file and is written back unchanged.
cp "$ini" "$work/first.ini"
start
quit
cmp -s "$ini" "$work/first.ini" || fail "the second run changed the settings"

# Out of the menu again: nothing of Chiplark's is left in the home folder.
"$folder/register-menu" --remove >/dev/null || fail "register-menu --remove failed"
left=$(find "$HOME" -mindepth 1)
[ -z "$left" ] || fail "register-menu --remove left behind: $left"

# A folder the user cannot write: nothing is installed and the message says why.
mkdir "$work/locked"
chmod 555 "$work/locked"
as_user=() # root writes anywhere: the install is made as nobody
[ "$(id -u)" -ne 0 ] || { chmod o+rx "$work"; as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups); }
! "${as_user[@]}" cmake --install "$build" --prefix "$work/locked/Chiplark" >"$work/refused.log" 2>&1 ||
  fail "an install into a folder the user cannot write went ahead"
grep -q 'You cannot write to' "$work/refused.log" || { cat "$work/refused.log"; fail "the refusal does not say why"; }
[ -z "$(ls -A "$work/locked")" ] || fail "the refused install left files"
echo "1 passed, 0 failed"
