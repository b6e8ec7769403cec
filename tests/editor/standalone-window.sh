#!/usr/bin/env bash
# Opens the Standalone app in a real X window, photographs it and checks the
# editor's face at fixed points; then drags the first knob away and
# double-clicks it back to its default through the X server's own input.
# Usage: standalone-window.sh <Standalone binary> <output folder>
# Uses the current DISPLAY, or starts its own Xvfb when there is none.
set -euo pipefail

app="$1"
out="$2"
mkdir -p "$out"

work="$(mktemp -d)"
pids=()
cleanup()
{
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

fail()
{
    echo "FAIL: $*" >&2
    exit 1
}

if [[ -z "${DISPLAY:-}" ]] || ! xdotool getdisplaygeometry >/dev/null 2>&1; then
    exec {displayfd}<> <(:)
    Xvfb -displayfd "$displayfd" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    pids+=($!)
    read -r -t 20 number <&"$displayfd" || fail "Xvfb did not start"
    export DISPLAY=":$number"
fi

# A private home: the app keeps its settings and the preset folder there.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$HOME"

"$app" >"$work/app.log" 2>&1 &
app_pid=$!
pids+=("$app_pid")

# The main window is the one of the app's windows that can hold the editor;
# anything smaller (a warning about a missing audio device) is dismissed.
window=""
for _ in $(seq 100); do
    kill -0 "$app_pid" 2>/dev/null || fail "the app exited: $(cat "$work/app.log")"
    for candidate in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$candidate")"
        if ((WIDTH >= 440 && HEIGHT >= 440)); then
            window="$candidate"
        else
            xdotool key --window "$candidate" Return 2>/dev/null || true
        fi
    done
    [[ -n "$window" ]] && break
    sleep 0.2
done
[[ -n "$window" ]] || fail "no window of 440 x 440 or more appeared"

eval "$(xdotool getwindowgeometry --shell "$window")"
win_x=$X win_y=$Y win_w=$WIDTH win_h=$HEIGHT

# Raised first, so that a window of a test running alongside cannot cover it.
shoot()
{
    xdotool windowraise "$window"
    import -window root "$1"
}

# Colour of one screen pixel as six hex digits.
pixel()
{
    convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | awk 'NR == 2 { sub(/^#/, "", $3); print tolower(substr($3, 1, 6)) }'
}

# The editor fills the bottom of the window, centred across it; its light top
# strip is the first e5e5e5 row, from the top, in a column left of the menu.
# A slow display may not have painted it yet, so look again for a while.
editor_x=$((win_x + (win_w - 440) / 2))
editor_y=""
for _ in $(seq 20); do
    shoot "$out/standalone-window.png"
    editor_y="$(convert "$out/standalone-window.png" -crop "1x$((win_h - 440 + 1))+$((editor_x + 60))+$win_y" -depth 8 txt:- |
        awk -v top="$win_y" 'NR > 1 && tolower($3) == "#e5e5e5" { split($1, at, "[,:]"); print top + at[2]; exit }')"
    [[ -n "$editor_y" ]] && break
    sleep 0.5
done
[[ -n "$editor_y" ]] || fail "the editor's light strip is not in the window"

convert "$out/standalone-window.png" -crop "440x440+$editor_x+$editor_y" +repage "$out/editor.png"

check()
{
    local what="$1" x="$2" y="$3" expected="$4" actual
    actual="$(pixel "$out/editor.png" "$x" "$y")"
    [[ "$actual" == "$expected" ]] || fail "$what at ($x, $y) is #$actual, expected #$expected"
}

check "light strip" 60 15 e5e5e5
check "dark area" 220 35 222222
check "cassette body" 20 50 e2883a
check "left tape pack centre" 135 175 e2883a
check "left tape pack" 135 115 222222
check "right roller" 375 285 222222
check "first knob's ring" 44 372 e5e5e5

# The first knob's picture, pointer and value text, with the wheels left out.
knob()
{
    shoot "$work/screen.png"
    convert "$work/screen.png" -crop "88x62+$editor_x+$((editor_y + 365))" +repage "$1"
}

knob "$work/knob-default.png"

knob_x=$((editor_x + 44))
knob_y=$((editor_y + 388))
xdotool mousemove "$knob_x" "$knob_y" mousedown 1
for step in 10 20 30 40 50 60; do
    xdotool mousemove "$knob_x" $((knob_y - step))
    sleep 0.05
done
xdotool mouseup 1
sleep 0.5
knob "$work/knob-dragged.png"
[[ "$(compare -metric AE "$work/knob-default.png" "$work/knob-dragged.png" null: 2>&1 || true)" != 0 ]] \
    || fail "dragging the first knob up did not move it"

xdotool mousemove "$knob_x" "$knob_y" click --repeat 2 --delay 80 1
sleep 0.5
knob "$work/knob-reset.png"
[[ "$(compare -metric AE "$work/knob-default.png" "$work/knob-reset.png" null: 2>&1 || true)" == 0 ]] \
    || fail "a double-click did not return the first knob to its default"

echo "editor window checked; screenshots in $out"
