#!/usr/bin/env bash
# Opens the LV2 bundle's editor the way Linux hosts do, through jalv.gtk3
# (suil embedding JUCE's X11 UI) on a dummy JACK server, and checks the
# cassette face in a screenshot of the real window. Needs an X display.
set -euo pipefail

uri=$1
screenshot=$2
export LV2_PATH=$(realpath "$(dirname "$3")")/$(basename "$3")
work=$(mktemp -d)
trap 'kill ${jalv_pid:-} ${jack_pid:-} 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/.config

fail() { echo "FAIL: $*" >&2; [ -f "$work/jalv.log" ] && cat "$work/jalv.log" >&2; exit 1; }

export JACK_DEFAULT_SERVER=marrowtone-ui-$$
jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 > "$work/jack.log" 2>&1 &
jack_pid=$!
for _ in $(seq 50); do jack_lsp -s "$JACK_DEFAULT_SERVER" > /dev/null 2>&1 && break; sleep 0.1; done

jalv.gtk3 -n marrowtone-ui "$uri" > "$work/jalv.log" 2>&1 &
jalv_pid=$!

window=
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --pid "$jalv_pid" --name "Marrowtone" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || fail "jalv.gtk3 showed no Marrowtone window"
sleep 1   # let the editor paint a few frames

mkdir -p "$(dirname "$screenshot")"
import -window "$window" "$screenshot"

pixel() { convert "$screenshot" -format "%[hex:p{$1,$2}]" info: | cut -c1-6; }
expect() {
    local got
    got=$(pixel "$1" "$2")
    [ "$got" = "$3" ] || fail "pixel ($1,$2) is $got, expected $3 ($4)"
}

# The editor sits at the window's top left; the same points as the
# editor's own painting tests.
expect 200 15 E5E5E5 "light top strip"
expect 20 60 E2883A "orange cassette body"
expect 5 420 222222 "dark lower area"
expect 135 175 E2883A "orange centre of the left tape pack"
expect 65 285 222222 "left guide roller"

echo "LV2 editor opens in jalv.gtk3: $screenshot"
