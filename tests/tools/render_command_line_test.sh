#!/usr/bin/env bash
# Runs the built marrowtone-render and marrowtone-demo-music the way a user
# does: rendered files have the input's length, rate and channels at 24 bits;
# every bad command line fails with one stderr line and leaves no file; the
# input is never overwritten; the presets are listed.
# Usage: render_command_line_test.sh RENDER DEMO_MUSIC USER_PRESET_FIXTURE
set -u

# Absolute, because the checks run inside a scratch folder.
render=$(realpath "$1")
demo=$(realpath "$2")
userPresetFixture=$(realpath "$3")

for tool in soxi sox; do
    command -v "$tool" > /dev/null || { echo "FAIL: $tool (package sox) is needed" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$HOME"
cd "$work" || exit 1

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# expect_format FILE RATE CHANNELS SAMPLES: a 24-bit WAV of exactly that shape.
expect_format() {
    local file=$1 shape
    [ -f "$file" ] || { fail "$file was not written"; return; }
    shape="$(soxi -t "$file") $(soxi -r "$file") $(soxi -c "$file") $(soxi -s "$file") $(soxi -b "$file")"
    [ "$shape" = "wav $2 $3 $4 24" ] || fail "$file is '$shape', expected 'wav $2 $3 $4 24'"
}

# expect_rejected TOOL NAME ARGS...: exit status not 0, exactly one stderr line
# naming the tool, and nothing written into the empty folder out/.
expect_rejected() {
    local tool=$1 name=$2 status
    shift 2
    rm -rf out && mkdir out
    "$tool" "$@" > /dev/null 2> stderr.txt
    status=$?
    [ "$status" -ne 0 ] || fail "$name: exit status 0"
    [ "$(wc -l < stderr.txt)" -eq 1 ] || fail "$name: stderr has $(wc -l < stderr.txt) lines: $(cat stderr.txt)"
    grep -q "^$(basename "$tool"): ." stderr.txt || fail "$name: stderr is '$(cat stderr.txt)'"
    [ -z "$(ls -A out)" ] || fail "$name: left $(ls -A out) behind"
}

# The demo music: 48 kHz stereo, deterministic.
"$demo" demo.wav --seconds 3 || fail "demo music exited with $?"
expect_format demo.wav 48000 2 144000
"$demo" again.wav --seconds 3 && cmp -s demo.wav again.wav || fail "demo music differs between runs"
"$demo" default.wav && expect_format default.wav 48000 2 384000

# Renders keep the input's length, rate and channel count, whatever the
# format, block size or processor rate.
"$render" demo.wav stereo.wav --set lowPass=12000 --set saturation=6 --block 333 || fail "stereo render exited with $?"
expect_format stereo.wav 48000 2 144000
cmp -s demo.wav stereo.wav && fail "the render is identical to its input"

sox -n -r 44100 -c 1 -b 16 mono.aiff synth 1.5 sine 440 gain -6
"$render" mono.aiff mono.wav --block 1 || fail "mono AIFF render exited with $?"
expect_format mono.wav 44100 1 66150

sox -n -r 96000 -c 2 -b 24 short.flac synth 0.25 pinknoise gain -12
"$render" short.flac short.wav --block 65536 || fail "FLAC render exited with $?"
expect_format short.wav 96000 2 24000

"$render" demo.wav rate.wav --rate 96000 || fail "--rate render exited with $?"
expect_format rate.wav 48000 2 144000

# An earlier output is replaced.
cp mono.wav replaced.wav
"$render" demo.wav replaced.wav || fail "replacing an older output exited with $?"
expect_format replaced.wav 48000 2 144000

# Presets: fifteen factory presets, then the user's.
"$render" --list-presets > presets.txt || fail "--list-presets exited with $?"
[ "$(wc -l < presets.txt)" -eq 15 ] || fail "--list-presets printed $(wc -l < presets.txt) lines"
[ "$(head -n 1 presets.txt)" = "Default" ] || fail "the first preset is '$(head -n 1 presets.txt)'"

presetFolder="$XDG_CONFIG_HOME/Application Support/Quillfen/Tape"
mkdir -p "$presetFolder"
cp "$userPresetFixture" "$presetFolder/My Tape.mtpreset"
"$render" --list-presets > presets.txt
[ "$(wc -l < presets.txt)" -eq 16 ] && [ "$(tail -n 1 presets.txt)" = "My Tape" ] \
    || fail "the user preset is not listed last: $(tr '\n' '|' < presets.txt)"

"$render" demo.wav factory.wav --preset "$(sed -n 2p presets.txt)" --set wow=0 || fail "factory preset render exited with $?"
expect_format factory.wav 48000 2 144000
"$render" demo.wav user.wav --preset "My Tape" || fail "user preset render exited with $?"
expect_format user.wav 48000 2 144000

"$render" --help > help.txt && grep -q "^Usage: marrowtone-render" help.txt || fail "--help printed no usage"
"$demo" --help > help.txt && grep -q "^Usage: marrowtone-demo-music" help.txt || fail "demo --help printed no usage"

# Bad input: one clear line, a failing status, no file.
echo "not audio" > text.wav
sox -n -r 48000 -c 3 three.wav synth 0.2 sine 440
expect_rejected "$render" "missing input" nowhere.wav out/out.wav
expect_rejected "$render" "unreadable format" text.wav out/out.wav
expect_rejected "$render" "three channels" three.wav out/out.wav
expect_rejected "$render" "unknown parameter" demo.wav out/out.wav --set volume=3
expect_rejected "$render" "value not a number" demo.wav out/out.wav --set noise=loud
expect_rejected "$render" "value out of range" demo.wav out/out.wav --set lowPass=99999
expect_rejected "$render" "unknown preset" demo.wav out/out.wav --preset "No Such Preset"
expect_rejected "$render" "preset of another case" demo.wav out/out.wav --preset "default"
expect_rejected "$render" "block of zero" demo.wav out/out.wav --block 0
expect_rejected "$render" "block not a number" demo.wav out/out.wav --block big
expect_rejected "$render" "rate not a number" demo.wav out/out.wav --rate fast
expect_rejected "$render" "rate of zero" demo.wav out/out.wav --rate 0
expect_rejected "$render" "unknown option" demo.wav out/out.wav --louder
expect_rejected "$render" "no output named" demo.wav
expect_rejected "$render" "output folder missing" demo.wav out/missing/out.wav
expect_rejected "$demo" "demo without output" --seconds 2
expect_rejected "$demo" "demo with zero seconds" out/demo.wav --seconds 0
expect_rejected "$demo" "demo with seconds not a number" out/demo.wav --seconds long

# A failing render leaves an older output as it was.
mkdir -p kept && cp stereo.wav kept/out.wav
"$render" text.wav kept/out.wav 2> /dev/null && fail "rendering text succeeded"
cmp -s stereo.wav kept/out.wav || fail "a failing render changed the older output"
[ "$(ls -A kept)" = "out.wav" ] || fail "a failing render left $(ls -A kept) behind"

# The input is never overwritten, however the output names it.
mkdir -p sub && cp demo.wav original.wav
ln -s "$work/demo.wav" link.wav
ln demo.wav hardlink.wav
for output in demo.wav ./sub/../demo.wav "$work/demo.wav" link.wav hardlink.wav; do
    "$render" demo.wav "$output" > /dev/null 2> stderr.txt && fail "overwriting the input as $output succeeded"
    [ "$(wc -l < stderr.txt)" -eq 1 ] && grep -q "^marrowtone-render: .*input" stderr.txt \
        || fail "overwriting the input as $output: stderr is '$(cat stderr.txt)'"
    cmp -s demo.wav original.wav || fail "the input changed when named as $output"
done

[ "$failures" -eq 0 ] && echo "all render command-line checks passed"
exit $((failures > 0))
