#!/usr/bin/env bash
# The real speech engine and sound cue, heard on a private PulseAudio null sink with a
# private speech server, both living under this test's own runtime folder and ended by
# their pids.
#  - The voices: one per language, English first, the default English under every locale.
#  - The announcements as the program builds them, recorded and transcribed with
#    pocketsphinx under a grammar of their words: a game's start (25/50) and, after a long
#    silence, a level change (50/100), under C.UTF-8, a generated en_GB.UTF-8 and a locale
#    that is not generated, with "£", "$" and no symbol. Each transcript must hold the
#    opening words and both amounts as English number words. The count's "Seven players
#    left" and "We are in the money" likewise, the seats' sentences, and the colour-up warning
#    "At the next break the 25s leave."
#    A transcript that misses is judged against espeak-ng's own rendering of the same lines
#    (no speech server), transcribed the same way, and against how late the machine woke a
#    sleeper while the recording ran: when the recogniser mishears the rendering too, or the
#    machine was late, the try could not be judged and is made again (at most five tries);
#    when the rendering is heard right and the recording twice not, the program's speech
#    lost words. Each recording also holds at least 90 % of the rendering's sound, its pauses
#    left out: a witness without the recogniser that nothing was cut.
#  - Two texts given back to back are both heard in full; the WAV cue is heard, flags 2
#    block for about the file's length while flags 3 return at once; with no audio server
#    nothing hangs.
#  - The program itself: no speech server until speech is ticked; ticked and the game started
#    at once, the server starts under this test's runtime folder and the start's blinds are
#    heard whole.
#    Its sound test is heard once the sound is ticked, and not loaded before.
#   real_audio.sh PROBE ENGINE_TEST PROGRAM      every check
#   real_audio.sh PROBE ENGINE_TEST game LANG SYMBOL WORDS SECONDS
#                                                one game's announcements alone
set -euo pipefail
probe="$1"
engine_test="$2"
here="$(cd "$(dirname "$0")" && pwd)"
grammar="$here/announcements.gram"
model=/usr/share/pocketsphinx/model/en-us
long_silence="${CHIPLARK_SILENCE:-30}"
source "$here/../e2e/x11.sh"
begin_test
passed=0
start_pulse || fail "no sound server"

# Records the null sink while a command runs, into NAME.wav (16 kHz mono): from when the
# recording is seen to run until it holds a second more than what was played by the end.
record() {
  local name="$1"; shift
  local raw="$work/$name.raw"
  parec -d null.monitor --format=s16le --rate=16000 --channels=1 --raw >"$raw" &
  local rec=$!
  wait_until 10 test -s "$raw" || fail "the recording did not start"
  timeout 120 "$@" >"$work/$name.out" 2>&1 || true
  local ended; ended=$(stat -c %s "$raw")
  wait_until 10 eval '[ "$(stat -c %s "$raw")" -ge $((ended + 32000)) ]' || fail "the recording stopped"
  kill "$rec"; wait "$rec" 2>/dev/null || true
  sox -t raw -r 16000 -e signed -b 16 -c 1 "$raw" "$work/$name.wav"
}
# How long sound was heard in NAME.wav, first sound to last, in seconds.
heard() {
  sox "$work/$1.wav" "$work/$1.trim.wav" silence 1 0.02 0.5% reverse silence 1 0.02 0.5% reverse 2>/dev/null
  soxi -D "$work/$1.trim.wav"
}
# How long NAME.wav holds sound, its pauses left out, at its loudness brought to full scale.
sounding() {
  sox "$work/$1.wav" "$work/$1.sound.wav" norm -1 silence 1 0.02 1% -1 0.1 1% 2>/dev/null
  soxi -D "$work/$1.sound.wav"
}
# record, with how late the machine woke a sleeper meanwhile, in ms: sets late.
record_watched() { # name command...
  "$probe" lag >"$work/$1.lag" &
  local watch=$!
  wait_until 10 test -s "$work/$1.lag" || fail "the lag watch did not start"
  record "$@"
  kill "$watch"; wait "$watch" || true
  late=$(sed -n 's/^late: //p' "$work/$1.lag")
}
# espeak-ng's own rendering of the lines given to the engine (NAME.out: "say: " lines, in the
# voice on its "voice: " line) as NAME.ref.wav, 16 kHz mono; sets lines.
reference() { # name
  local voice; voice=$(sed -n 's/^voice: //p' "$work/$1.out")
  mapfile -t lines < <(sed -n 's/^say: //p' "$work/$1.out")
  "$probe" render "$voice" "$work/$1.espeak.wav" "${lines[@]}" || fail "espeak-ng did not render ${lines[*]}"
  sox "$work/$1.espeak.wav" -r 16000 "$work/$1.ref.wav"
}
# Judges a recording (NAME.wav, its lines in NAME.out) whose transcript must match PATTERN:
# returns 0 when it is heard whole; 1 when the program is at fault (the machine kept time,
# and espeak-ng's rendering of the same lines is heard right at three loudnesses, or
# the recording holds less than 90 % of the rendering's sound); 2 when it could not be judged.
# Sets why.
lag_bound=40 # ms; the speech server's sound output is a tenth of a second ahead
judge() { # name pattern transcript
  local name="$1" pattern="$2" said="$3" gain ref
  reference "$name"
  local sound expected; sound=$(sounding "$name"); expected=$(sounding "$name.ref")
  echo "  sound heard: $sound s, espeak-ng's own: $expected s; the machine late by $late ms at worst"
  if [ "$late" -gt "$lag_bound" ]; then
    echo "$said" | grep -Eq "$pattern" && at_least "$sound" "$(awk -v e="$expected" 'BEGIN { print 0.9 * e }')" && return 0
    why="the machine was late by $late ms while it spoke; heard \"$said\""
    return 2
  fi
  if ! at_least "$sound" "$(awk -v e="$expected" 'BEGIN { print 0.9 * e }')"; then
    why="$sound s of sound heard for espeak-ng's $expected s of \"${lines[*]}\""
    return 1
  fi
  echo "$said" | grep -Eq "$pattern" && return 0
  # The recogniser's word depends on the loudness: the rendering at the recording's peak,
  # and 2 dB either side.
  local peak; peak=$(sox "$work/$name.wav" -n stat 2>&1 | awk '/Maximum amplitude/ { print 20 * log($3) / log(10) }')
  for gain in 0 -2 2; do
    sox "$work/$name.ref.wav" "$work/$name.ref$gain.wav" norm "$(awk -v p="$peak" -v g="$gain" 'BEGIN { print p + g }')"
    ref=$(transcribe "$name.ref$gain")
    echo "$ref" | grep -Eq "$pattern" ||
      { why="it hears \"$ref\" in espeak-ng's own \"${lines[*]}\""; return 2; }
  done
  why="heard \"$said\" for \"${lines[*]}\", which it hears right from espeak-ng itself"
  return 1
}
# Makes tries of a check (a command that judges) until one is heard whole: a try that could
# not be judged is made again, up to five tries; the program's fault seen twice fails (once
# may be the speech server's stream run dry on a busy machine, which a sleeper's lateness
# does not always show).
repeated=0
tries() { # what command...
  local what="$1" faults=0 try rc verdict
  shift
  for try in 1 2 3 4 5; do
    rc=0; "$@" || rc=$?
    [ "$rc" -eq 0 ] && return 0
    verdict="the recogniser could not judge"
    [ "$rc" -eq 1 ] && { faults=$((faults + 1)); verdict="the program's speech lost words"; }
    [ "$faults" -ge 2 ] || [ "$try" -eq 5 ] && fail "$what: $verdict: $why"
    [ "$rc" -eq 1 ] && verdict="not heard whole (fault $faults of 2)"
    echo "  (try $try: $verdict: $why; once more)"
    repeated=$((repeated + 1))
  done
}
# The dictionary: the recogniser's own, with the British "players" (no r) beside the
# American one.
dictionary="$work/words.dict"
{ cat "$model/cmudict-en-us.dict"; printf '%s\n' 'players(9) P L EY AH Z' 'players(8) P L EH AH Z'; } >"$dictionary"
# The words heard in NAME.wav, one line: the recording is cut at its pauses and each piece
# transcribed on its own.
transcribe() {
  local dir="$work/$1.pieces"
  rm -rf "$dir"; mkdir -p "$dir"
  sox "$work/$1.wav" "$dir/piece.wav" silence 1 0.05 0.5% 1 0.3 0.5% : newfile : restart 2>/dev/null
  for piece in "$dir"/piece*.wav; do
    pocketsphinx_continuous -infile "$piece" -jsgf "$grammar" -hmm "$model/en-us" \
      -dict "$dictionary" 2>/dev/null || true
  done | tr '\n' ' ' | tr -s ' '
}
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }

# A game's announcements, as the program builds them, under one locale and one symbol.
game_heard() { # LANG, currency symbol, currency words, seconds of silence
  local lang="$1" symbol="$2" words="$3" silence="$4" name="game$RANDOM"
  stop_speech_server   # a new server, started under this locale
  record_watched "$name" env LANG="$lang" LC_ALL="" "$probe" game "$symbol" "$silence"
  grep -q '^finished: 3' "$work/$name.out" || { cat "$work/$name.out"; fail "under $lang with '$symbol' the engine did not finish the texts"; }
  local said; said=$(transcribe "$name")
  echo "$lang, '$symbol', ${silence} s apart: $said"
  local w="( ($words))?"
  judge "$name" "blinds are now twenty five$w( and)? fifty$w.*blinds are now fifty$w( and)? one hundred" "$said"
}
check_game() { tries "under $1 with '$2' the start and, after $4 s of silence, the level change" game_heard "$@"; }
# One game's case alone, as the whole test checks it, for trying it again and again.
if [ "${3:-}" = game ]; then
  check_game "$4" "$5" "$6" "$7"
  echo "tries made again: $repeated"
  exit 0
fi

# The voices, under a fresh speech server for each locale.
check_voices() { # LANG, expected default
  stop_speech_server
  LANG="$1" LC_ALL="" timeout 60 "$probe" voices >"$work/voices.out" 2>&1 || fail "no voices under $1"
  local count default first
  count=$(sed -n 's/^voices: \([0-9]*\),.*/\1/p' "$work/voices.out")
  default=$(sed -n 's/^voices: [0-9]*, default //p' "$work/voices.out")
  first=$(sed -n 's/^voice: //p' "$work/voices.out" | head -1)
  echo "voices under $1: $count, default $default, first $first"
  [ "$count" -ge 1 ] && [ "$count" -le 300 ] || fail "under $1 the list has $count voices"
  grep -q '^voice: .*+' "$work/voices.out" && fail "under $1 variants are listed"
  [ "$default" = "$2" ] || fail "under $1 the default voice is '$default', not '$2'"
  case "$first" in English*) ;; *) fail "under $1 the list does not start with English" ;; esac
  return 0
}
check_voices C.UTF-8 "English (Great Britain)"
check_voices en_GB.UTF-8 "English (Great Britain)"
check_voices en_US.UTF-8 "English (America)"
check_voices de_DE.UTF-8 "English (Great Britain)"
passed=$((passed + 1))

# The settings window on the real engine: a tick never freezes it.
stop_speech_server
LANG=C.UTF-8 LC_ALL="" timeout 60 "$engine_test" >"$work/engine.out" 2>&1 || { cat "$work/engine.out"; fail "a tick froze the window"; }
grep -E 'voices listed|longest wait' "$work/engine.out" | sed 's/^QINFO *: *[A-Za-z:()]* *//'
passed=$((passed + 1))

for currency in "£:pounds|pound" '$:dollars|dollar' ":"; do
  for lang in C.UTF-8 en_GB.UTF-8; do check_game "$lang" "${currency%%:*}" "${currency#*:}" "$long_silence"; done
done
passed=$((passed + 1))
# A locale the system does not have: the speech server still starts and speaks.
locale -a 2>/dev/null | grep -qi '^de_AT\.utf8$' && fail "de_AT.UTF-8 is generated here; pick another"
check_game de_AT.UTF-8 "£" "pounds|pound" 3
passed=$((passed + 1))

# The count's sentences after a bust, as the program builds them. The recogniser takes the
# British voice's "seven" at the start of a sentence for "ten" or worse; the number's words
# are the unit tests' to check.
count_heard() {
  record_watched count "$probe" count
  grep -q '^finished: 2' "$work/count.out" || { cat "$work/count.out"; fail "the engine did not finish the count's texts"; }
  said=$(transcribe count)
  echo "after a bust: $said"
  judge count "players left.*we are in the money" "$said"
}
tries "\"Seven players left\" and \"We are in the money\"" count_heard
passed=$((passed + 1))

# The seats, as the program says them at more than one table: a seat drawn, a move and a table
# breaking.
seats_heard() {
  record_watched seats "$probe" seats
  grep -q '^finished: 4' "$work/seats.out" || { cat "$work/seats.out"; fail "the engine did not finish the seats' texts"; }
  said=$(transcribe seats)
  echo "seats: $said"
  # The recogniser takes "Table 1, the big blind moves to …" apart even in espeak-ng's own
  # rendering: that sentence is held to its sound (judge's 90 %), the others to their words.
  judge seats "seat three.*breaks.*goes to.*table one seat" "$said"
}
tries "a seat, a move and a table breaking" seats_heard
passed=$((passed + 1))

# The chips that leave at the next break, told a level ahead.
chips_heard() {
  record_watched chips "$probe" chips
  grep -q '^finished: 1' "$work/chips.out" || { cat "$work/chips.out"; fail "the engine did not finish the colour-up warning"; }
  said=$(transcribe chips)
  echo "colour-up: $said"
  # Its last word, "leave", the recogniser hears as "three" even in espeak-ng's own rendering:
  # it is held to its sound (judge's 90 %), the rest to its words.
  judge chips "at the next break the twenty fives" "$said"
}
tries "\"At the next break the 25s leave.\"" chips_heard
passed=$((passed + 1))

a="The break has now started. Players should stop playing once they have finished this hand."
b="Blinds are now 100£ and 200£"
record a "$probe" speak 30 "$a"; sa=$(heard a)
record b "$probe" speak 30 "$b"; sb=$(heard b)
record ab "$probe" speak 30 "$a" "$b"; sab=$(heard ab)
echo "alone: $sa s and $sb s; back to back: $sab s"
at_least "$sab" "$(awk -v a="$sa" -v b="$sb" 'BEGIN { print a + b - 0.2 }')" || fail "back to back, one text was cut off"
passed=$((passed + 1))

sox -n -r 44100 -c 2 -b 16 "$work/cue.wav" synth 1.5 sine 440 vol 0.5
record sync "$probe" play "$work/cue.wav" 2; s2=$(heard sync)
ms2=$(grep -o 'after [0-9]*' "$work/sync.out" | grep -o '[0-9]*')
record async "$probe" play "$work/cue.wav" 3; s3=$(heard async)
ms3=$(grep -o 'after [0-9]*' "$work/async.out" | grep -o '[0-9]*')
echo "cue of 1.5 s: flags 2 heard $s2 s, returned after $ms2 ms; flags 3 heard $s3 s, returned after $ms3 ms"
at_least "$s2" 1.2 && at_least "$s3" 1.2 || fail "the cue was not heard in full"
[ "$ms2" -ge 1300 ] && [ "$ms2" -le 2400 ] || fail "flags 2 did not wait for the sound"
[ "$ms3" -le 100 ] || fail "flags 3 did not return at once"
passed=$((passed + 1))

# The program, under an X server with a window manager: no speech server while speech is
# off; the box ticked and the game started at once (Return), the server comes up under this
# test's runtime folder and the start announcement is heard whole.
program="$3"
speech_server() { cat "$XDG_RUNTIME_DIR/speech-dispatcher/pid/speech-dispatcher.pid" 2>/dev/null; }
program_heard() {
  stop_speech_server
  rm -rf "$work/program"
  place_program "$program" "$work/program" # a first run: every phrase and amount as it comes
  start_program "$work/program/chiplark"
  find_window '^Chiplark! - version 1.0$' >/dev/null
  [ -z "$(speech_server)" ] || fail "a speech server was started with speech off"
  grep -q 'libQt6TextToSpeech' "/proc/$app/maps" && fail "Qt TextToSpeech was loaded with speech off"
  local X Y
  eval "$(xdotool getwindowgeometry --shell "$settings" | grep -E '^[XY]=')"
  xdotool key Tab Down # the automatic structure
  # Waits until a recording holds sound followed by the given seconds of silence.
  cat >"$work/heard_out.sh" <<'EOF'
loud() { sox -t raw -r 16000 -e signed -b 16 -c 1 "$1" -n trim "${@:2}" stat 2>&1 |
  awk '/Maximum amplitude/ { exit !($3 > 0.02) }'; }
for _ in $(seq 600); do loud "$1" 0 && ! loud "$1" "-$2" && exit 0; sleep 0.1; done
exit 1
EOF
  # The sound: off, nothing of Qt Multimedia; ticked, its file typed in and "Test" pressed,
  # the cue is heard.
  grep -q 'libQt6Multimedia' "/proc/$app/maps" && fail "Qt Multimedia was loaded with the sound off"
  sox -n -r 44100 -c 2 -b 16 "$work/programcue.wav" synth 1.5 sine 440 vol 0.5
  xdotool mousemove $((X + 238)) $((Y + 468)) click 1 mousemove $((X + 327)) $((Y + 485)) click 1 \
    type "$work/programcue.wav"
  record programcue bash -c "xdotool mousemove $((X + 327)) $((Y + 508)) click 1 &&
    bash '$work/heard_out.sh' '$work/programcue.raw' 1"
  local cue; cue=$(heard programcue)
  echo "the program's sound test: heard $cue s of a 1.5 s cue"
  at_least "$cue" 1.2 || fail "the program's sound test was not heard"
  # Speech: the box ticked and Return at once; then the display, and the announcement heard
  # to its end (two seconds of silence).
  cat >"$work/tick_and_start.sh" <<EOF
xdotool mousemove $((X + 22)) $((Y + 468)) click 1 key Return
timeout 20 xdotool search --sync --onlyvisible --name '^Chiplark display\$' >/dev/null || exit 1
bash "$work/heard_out.sh" "$work/program.raw" 2
EOF
  record_watched program bash "$work/tick_and_start.sh"
  # What it was given: a first run's start, in the default voice (the server's own answer)
  timeout 60 "$probe" voices | sed -n 's/^voices: [0-9]*, default /voice: /p' >>"$work/program.out"
  "$probe" texts "£" >>"$work/program.out"
  local server; server=$(speech_server)
  [ -n "$server" ] && kill -0 "$server" || fail "speech ticked, yet no speech server under the test's runtime folder"
  said=$(transcribe program)
  echo "the program, speech ticked and started at once: $said"
  kill "$app"; wait "$app" 2>/dev/null || true
  # As for a game's start above: the blinds, its last sentence, whole, and the sound of the
  # whole announcement.
  judge program "blinds are now twenty five( pounds| pound)?( and)? fifty( pounds| pound)?" "$said"
}
start_xvfb 1024x768x24 || fail "no X server"
start_openbox || fail "no window manager"
tries "the program's start announcement" program_heard
passed=$((passed + 1))

# No audio server at all: everything returns, nothing hangs.
end_pids "${pids[@]}"
pids=()
stop_speech_server
begin=$(date +%s%N)
timeout 20 "$probe" play "$work/cue.wav" 2 >/dev/null 2>&1 || fail "the cue hung without an audio server"
rc=0; timeout 40 "$probe" speak 3 "Nobody hears this" >/dev/null 2>&1 || rc=$?
[ "$rc" -ne 124 ] || fail "speech hung without an audio server"
echo "without an audio server: done in $(( ($(date +%s%N) - begin) / 1000000 )) ms"
passed=$((passed + 1))

echo "tries made again: $repeated"
echo "$passed passed, 0 failed"
