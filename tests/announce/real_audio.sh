#!/usr/bin/env bash
# The real speech engine and sound cue, heard on a PulseAudio null sink with a speech server,
# both of the test's own, under its runtime folder and ended by their pids.
#  - The voices: one per language, English first, the default English under every locale.
#  - The program's texts, recorded and transcribed by pocketsphinx under a grammar of their
#    words: a game's start (25/50) and, after a long silence, a level change (50/100) under
#    C.UTF-8, a generated en_GB.UTF-8 and a locale not generated, with "£", "$" and no symbol,
#    the amounts as English number words; the count's, the seats' and the colour-up's sentences.
#    A transcript that misses is judged against espeak-ng's own rendering of the same lines and
#    how late the machine woke a sleeper meanwhile: the rendering misheard too, or the machine
#    late, the try is made again (at most five); the rendering heard right and the recording
#    twice not, the program's speech lost words. Each recording also holds at least 90 % of the
#    rendering's sound, its pauses left out.
#  - Two texts given back to back are both heard in full; the WAV cue is heard, flags 2 block
#    for about the file's length while flags 3 return at once; with no audio server nothing hangs.
#  - The program: no speech server nor Qt TextToSpeech until speech is ticked; its sound test
#    heard once ticked, Qt Multimedia not loaded before; speech ticked and the game started at
#    once, the server starts under the test's runtime folder and the start's blinds are heard whole.
#   real_audio.sh PROBE ENGINE_TEST PROGRAM                           every check
#   real_audio.sh PROBE ENGINE_TEST game LANG SYMBOL WORDS SECONDS    one game's announcements alone
set -euo pipefail
probe="$1"
engine_test="$2"
here="$(cd "$(dirname "$0")" && pwd)"
grammar="$here/announcements.gram"
model=/usr/share/pocketsphinx/model/en-us
long_silence="${CHIPLARK_SILENCE:-30}"
source "$here/../e2e/x11.sh"
begin_test
start_pulse || fail "no sound server"

# Records the null sink while a command runs, into NAME.wav (16 kHz mono): from when the
# recording is seen to run until it holds a second more than what was played by the end.
record() { # name command...
  local name="$1" raw="$work/$1.raw" rec ended
  shift
  parec -d null.monitor --format=s16le --rate=16000 --channels=1 --raw >"$raw" & rec=$!
  wait_until 10 test -s "$raw" || fail "the recording did not start"
  timeout 120 "$@" >"$work/$name.out" 2>&1 || true
  ended=$(stat -c %s "$raw")
  wait_until 10 eval '[ "$(stat -c %s "$raw")" -ge $((ended + 32000)) ]' || fail "the recording stopped"
  kill "$rec"; wait "$rec" 2>/dev/null || true
  sox -t raw -r 16000 -e signed -b 16 -c 1 "$raw" "$work/$name.wav"
}
# How long NAME.wav holds sound, in seconds: "span", first sound to last; "sound", its pauses
# left out, at its loudness brought to full scale.
length() { # span|sound name
  local effect=(silence 1 0.02 0.5% reverse silence 1 0.02 0.5% reverse)
  [ "$1" = sound ] && effect=(norm -1 silence 1 0.02 1% -1 0.1 1%)
  sox "$work/$2.wav" "$work/$2.$1.wav" "${effect[@]}" 2>/dev/null
  soxi -D "$work/$2.$1.wav"
}
# record, with how late the machine woke a sleeper (a 10 ms sleep) at worst meanwhile, in ms:
# sets late.
record_watched() { # name command...
  python3 -c 'import signal, sys, time
late, last = 0, time.monotonic()
signal.signal(signal.SIGTERM, lambda *_: sys.exit(print("late:", late)))
print("watching", flush=True)
while True:
    time.sleep(0.01)
    now = time.monotonic()
    late, last = max(late, int((now - last) * 1000) - 10), now' >"$work/$1.lag" &
  local watch=$!
  wait_until 10 test -s "$work/$1.lag" || fail "the lag watch did not start"
  record "$@"
  kill "$watch"; wait "$watch" || true
  late=$(sed -n 's/^late: //p' "$work/$1.lag")
}
# espeak-ng's own rendering of the lines given to the engine (NAME.out: "say: " lines, in the
# voice on its "voice: " line), no speech server, at the server's rate of 170 words a minute,
# half a second apart, as NAME.ref.wav, 16 kHz mono; sets lines.
reference() { # name
  mapfile -t lines < <(sed -n 's/^say: //p' "$work/$1.out")
  python3 - "$(sed -n 's/^voice: //p' "$work/$1.out")" "$work/$1.espeak.wav" "${lines[@]}" <<'PY' ||
import ctypes, sys, wave
e = ctypes.CDLL("libespeak-ng.so.1")
e.espeak_Synth.argtypes = [ctypes.c_char_p, ctypes.c_size_t] + [ctypes.c_uint] * 4 + [ctypes.c_void_p] * 2
rate = e.espeak_Initialize(2, 0, None, 0x8000)  # synchronous, errors returned
pcm = bytearray(rate * 3 // 10 * 2)
def keep(wav, count, events):
    if wav:
        pcm.extend(ctypes.string_at(wav, 2 * count))
    return 0
e.espeak_SetSynthCallback(kept := ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_int, ctypes.c_void_p)(keep))
assert rate > 0 and e.espeak_SetVoiceByName(sys.argv[1].encode()) == 0 and e.espeak_SetParameter(1, 170, 0) == 0
for line in sys.argv[3:]:
    text = line.encode()
    assert e.espeak_Synth(text, len(text) + 1, 0, 1, 0, 1, None, None) == 0 and e.espeak_Synchronize() == 0
    pcm.extend(bytes(rate // 2 * 2))
with wave.open(sys.argv[2], "wb") as out:
    out.setnchannels(1), out.setsampwidth(2), out.setframerate(rate), out.writeframes(bytes(pcm))
PY
    fail "espeak-ng did not render ${lines[*]}"
  sox "$work/$1.espeak.wav" -r 16000 "$work/$1.ref.wav"
}
# Judges a recording (NAME.wav, its lines in NAME.out) whose transcript must match PATTERN:
# returns 0 when it is heard whole; 1 when the program is at fault (the machine kept time,
# and espeak-ng's rendering of the same lines is heard right at three loudnesses, or
# the recording holds less than 90 % of the rendering's sound); 2 when it could not be judged.
# Sets why.
judge() { # name pattern transcript
  local name="$1" pattern="$2" said="$3" gain ref
  reference "$name"
  local sound expected whole=0 right=0; sound=$(length sound "$name"); expected=$(length sound "$name.ref")
  echo "  sound heard: $sound s, espeak-ng's own: $expected s; the machine late by $late ms at worst"
  at_least "$sound" "$(awk -v e="$expected" 'BEGIN { print 0.9 * e }')" && whole=1
  echo "$said" | grep -Eq "$pattern" && right=1
  [ $whole$right = 11 ] && return 0
  why="the machine was late by $late ms while it spoke; heard \"$said\""
  [ "$late" -gt 40 ] && return 2 # ms; the speech server's sound output is a tenth of a second ahead
  why="$sound s of sound heard for espeak-ng's $expected s of \"${lines[*]}\""
  [ $whole = 1 ] || return 1
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
# does not always show). Sets what.
repeated=0
tries() { # what command...
  local faults=0 try rc verdict; what="$1"; shift
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
# The dictionary: the recogniser's own, with the British "players" (no r) beside the American.
dictionary="$work/words.dict"
{ cat "$model/cmudict-en-us.dict"; printf '%s\n' 'players(9) P L EY AH Z' 'players(8) P L EH AH Z'; } >"$dictionary"
# The words heard in NAME.wav, one line: the recording is cut at its pauses and each piece
# transcribed on its own.
transcribe() {
  local dir="$work/$1.pieces"
  rm -rf "$dir"; mkdir -p "$dir"
  sox "$work/$1.wav" "$dir/piece.wav" silence 1 0.05 0.5% 1 0.3 0.5% : newfile : restart 2>/dev/null
  for piece in "$dir"/piece*.wav; do
    pocketsphinx_continuous -infile "$piece" -jsgf "$grammar" -hmm "$model/en-us" -dict "$dictionary" 2>/dev/null || true
  done | tr '\n' ' ' | tr -s ' '
}
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }

# The program's texts as a probe command says them, recorded: the engine must finish all N
# lines, and the transcript is judged against PATTERN.
heard() { # name N pattern command...
  local name="$1$RANDOM" said
  record_watched "$name" "${@:4}"
  grep -q "^finished: $2" "$work/$name.out" || { cat "$work/$name.out"; fail "$what: the engine did not finish the texts"; }
  said=$(transcribe "$name")
  echo "$what: $said"
  judge "$name" "$3" "$said"
}
fresh_server() { stop_speech_server; "$@"; }
# A game's announcements under one locale and one symbol, from a new server under that locale.
check_game() { # LANG, currency symbol, currency words, seconds of silence
  local w="( ($3))?"
  tries "under $1 with '$2' the start and, after $4 s of silence, the level change" fresh_server heard game 3 \
    "blinds are now twenty five$w( and)? fifty$w.*blinds are now fifty$w( and)? one hundred" \
    env LANG="$1" LC_ALL="" "$probe" game "$2" "$4"
}
# One game's case alone, as the whole test checks it, for trying it again and again.
[ "${3:-}" = game ] && { check_game "$4" "$5" "$6" "$7"; echo "tries made again: $repeated"; exit 0; }

# The voices, under a fresh speech server for each locale.
check_voices() { # LANG, expected default
  stop_speech_server
  LANG="$1" LC_ALL="" timeout 60 "$probe" voices >"$work/voices.out" 2>&1 || fail "no voices under $1"
  local count default first=$(sed -n 's/^voice: //p' "$work/voices.out" | head -1)
  read -r count default < <(sed -n 's/^voices: \([0-9]*\), default /\1 /p' "$work/voices.out")
  echo "voices under $1: $count, default $default, first $first"
  [ "$count" -ge 1 ] && [ "$count" -le 300 ] || fail "under $1 the list has $count voices"
  grep -q '^voice: .*+' "$work/voices.out" && fail "under $1 variants are listed"
  [ "$default" = "$2" ] || fail "under $1 the default voice is '$default', not '$2'"
  case "$first" in English*) ;; *) fail "under $1 the list does not start with English" ;; esac
}
for voices in "C.UTF-8:English (Great Britain)" "en_GB.UTF-8:English (Great Britain)" "en_US.UTF-8:English (America)" \
  "de_DE.UTF-8:English (Great Britain)"; do check_voices "${voices%%:*}" "${voices#*:}"; done

# The settings window on the real engine: a tick never freezes it.
stop_speech_server
LANG=C.UTF-8 LC_ALL="" timeout 60 "$engine_test" >"$work/engine.out" 2>&1 || { cat "$work/engine.out"; fail "a tick froze the window"; }
grep -E 'voices listed|longest wait' "$work/engine.out" | sed 's/^QINFO *: *[A-Za-z:()]* *//'

for currency in "£:pounds|pound" '$:dollars|dollar' ":"; do
  for lang in C.UTF-8 en_GB.UTF-8; do check_game "$lang" "${currency%%:*}" "${currency#*:}" "$long_silence"; done
done
# A locale the system does not have: the speech server still starts and speaks.
locale -a 2>/dev/null | grep -qi '^de_AT\.utf8$' && fail "de_AT.UTF-8 is generated here; pick another"
check_game de_AT.UTF-8 "£" "pounds|pound" 3

# Sentences naming a player are transcribed under a grammar with those words too (in every
# check, their short words would be heard in the others' pauses).
plain_grammar="$grammar"
grammar="$work/named.gram"
sed 's/| goes to |/| goes to | to | anna | is out |/' "$plain_grammar" >"$grammar"
# The count's sentences after a bust. The recogniser takes the British voice's "seven" at the
# start of a sentence for "ten" or worse, and misses a name that opens one even in
# espeak-ng's own rendering: the name and the number are held to their sound, the rest to
# its words.
tries '"Anna is out. Seven players left." and "We are in the money"' heard count 2 "is out.*we are in the money" "$probe" count
# The seats at more than one table: a seat drawn, a move and a table breaking. The recogniser
# takes "Table 1, the big blind moves to …" apart even in espeak-ng's own rendering: that
# sentence is held to its sound (judge's 90 %), the others to their words.
tries "a seat, a move and a table breaking, by name" heard seats 4 "seat three.*breaks.*to table one seat" "$probe" seats
# The chips that leave at the next break, told a level ahead. Its last word, "leave", the
# recogniser hears as "three" even in espeak-ng's own rendering: it is held to its sound.
grammar="$plain_grammar"
tries '"At the next break the 25s leave."' heard chips 1 "at the next break the twenty fives" "$probe" chips

a="The break has now started. Players should stop playing once they have finished this hand."
b="Blinds are now 100£ and 200£"
record a "$probe" speak 30 "$a"; sa=$(length span a)
record b "$probe" speak 30 "$b"; sb=$(length span b)
record ab "$probe" speak 30 "$a" "$b"; sab=$(length span ab)
echo "alone: $sa s and $sb s; back to back: $sab s"
at_least "$sab" "$(awk -v a="$sa" -v b="$sb" 'BEGIN { print a + b - 0.2 }')" || fail "back to back, one text was cut off"

sox -n -r 44100 -c 2 -b 16 "$work/cue.wav" synth 1.5 sine 440 vol 0.5
returned() { grep -o 'after [0-9]*' "$work/$1.out" | grep -o '[0-9]*'; }
record sync "$probe" play "$work/cue.wav" 2; s2=$(length span sync); ms2=$(returned sync)
record async "$probe" play "$work/cue.wav" 3; s3=$(length span async); ms3=$(returned async)
echo "cue of 1.5 s: flags 2 heard $s2 s, returned after $ms2 ms; flags 3 heard $s3 s, returned after $ms3 ms"
at_least "$s2" 1.2 && at_least "$s3" 1.2 || fail "the cue was not heard in full"
[ "$ms2" -ge 1300 ] && [ "$ms2" -le 2400 ] || fail "flags 2 did not wait for the sound"
[ "$ms3" -le 100 ] || fail "flags 3 did not return at once"

# The program, under an X server with a window manager: no speech server while speech is
# off; the box ticked and the game started at once (Return), the server comes up under this
# test's runtime folder and the start announcement is heard whole.
program="$3"
speech_server() { cat "$XDG_RUNTIME_DIR/speech-dispatcher/pid/speech-dispatcher.pid" 2>/dev/null; }
# Waits until a recording (raw) holds sound followed by the given seconds of silence.
loud() { sox -t raw -r 16000 -e signed -b 16 -c 1 "$1" -n trim "${@:2}" stat 2>&1 | awk '/Maximum amplitude/ { exit !($3 > 0.02) }'; }
heard_out() { for _ in $(seq 600); do loud "$1" 0 && ! loud "$1" "-$2" && return 0; sleep 0.1; done; return 1; }
export -f loud heard_out
program_heard() {
  stop_speech_server
  rm -rf "$work/program"
  place_program "$program" "$work/program" # a first run: every phrase and amount as it comes
  start_program "$work/program/chiplark"
  [ -z "$(speech_server)" ] || fail "a speech server was started with speech off"
  grep -q 'libQt6TextToSpeech' "/proc/$app/maps" && fail "Qt TextToSpeech was loaded with speech off"
  local X Y
  eval "$(xdotool getwindowgeometry --shell "$settings" | grep -E '^[XY]=')"
  xdotool key Tab Down # the automatic structure
  # The sound: off, nothing of Qt Multimedia; ticked, its file typed in and "Test" pressed,
  # the cue is heard.
  grep -q 'libQt6Multimedia' "/proc/$app/maps" && fail "Qt Multimedia was loaded with the sound off"
  xdotool mousemove $((X + 238)) $((Y + 468)) click 1 mousemove $((X + 327)) $((Y + 485)) click 1 type "$work/cue.wav"
  record programcue bash -c "xdotool mousemove $((X + 327)) $((Y + 508)) click 1 && heard_out '$work/programcue.raw' 1"
  local cue; cue=$(length span programcue)
  echo "the program's sound test: heard $cue s of a 1.5 s cue"
  at_least "$cue" 1.2 || fail "the program's sound test was not heard"
  # Speech: the box ticked and Return at once; then the display, and the announcement heard
  # to its end (two seconds of silence).
  record_watched program bash -c "xdotool mousemove $((X + 22)) $((Y + 468)) click 1 key Return &&
    timeout 20 xdotool search --sync --onlyvisible --name '^Chiplark display$' >/dev/null && heard_out '$work/program.raw' 2"
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
start_desktop 1024x768x24
tries "the program's start announcement" program_heard

# No audio server at all: everything returns, nothing hangs.
end_pids "${pids[@]}"
pids=()
stop_speech_server
begin=$(date +%s%N)
timeout 20 "$probe" play "$work/cue.wav" 2 >/dev/null 2>&1 || fail "the cue hung without an audio server"
rc=0; timeout 40 "$probe" speak 3 "Nobody hears this" >/dev/null 2>&1 || rc=$?
[ "$rc" -ne 124 ] || fail "speech hung without an audio server"
echo "without an audio server: done in $(( ($(date +%s%N) - begin) / 1000000 )) ms"

echo "tries made again: $repeated"
echo "1 passed, 0 failed"
