#!/usr/bin/env bash
# Opens the built LV2 bundle with lilv's own tools and runs it in jalv against
# a dummy JACK server: the checks a Linux DAW's plug-in scan makes.
set -euo pipefail

bundle=$(realpath "$1")
uri=$2
work=$(mktemp -d)
trap 'kill ${jack_pid:-} 2>/dev/null || true; rm -rf "$work"' EXIT
export LV2_PATH=$(dirname "$bundle")
export HOME=$work XDG_CONFIG_HOME=$work/.config

fail() { echo "FAIL: $*" >&2; exit 1; }

lv2ls | grep -qxF "$uri" || fail "lv2ls does not list $uri"

lv2info "$uri" > "$work/info.txt" || fail "lv2info cannot read $uri"
grep -qE '^\s*Name:\s*Marrowtone$' "$work/info.txt" || fail "lv2info shows no name Marrowtone"
grep -qE 'lv2:latency|reportsLatency' "$work/info.txt" || fail "no latency port"
[ "$(grep -cE 'Type:.*AudioPort' "$work/info.txt")" -eq 4 ] || fail "expected 2 audio inputs and 2 audio outputs"
# JUCE publishes parameters as patch properties, which lv2info does not
# print, so read them from the bundle's own description.
while IFS=: read -r id label; do
    grep -A2 -x "plug:$id" "$bundle/dsp.ttl" | grep -qF "rdfs:label \"$label\"" \
        || fail "parameter $id ($label) not published"
done <<'PARAMETERS'
saturation:Saturation
lowPass:Low Pass
noise:Noise
wow:Wow
flutter:Flutter
PARAMETERS

# jalv needs a JACK server; the dummy backend needs no sound card.
export JACK_DEFAULT_SERVER=marrowtone-check-$$
jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 > "$work/jack.log" 2>&1 &
jack_pid=$!
for _ in $(seq 50); do jack_lsp -s "$JACK_DEFAULT_SERVER" > /dev/null 2>&1 && break; sleep 0.1; done

# jalv runs until its console prompt reads end of input; two seconds of
# processing on the JACK thread, then a clean exit, is a successful session.
set +e
sleep 2 | timeout 20 jalv -n marrowtone-check "$uri" > "$work/jalv.log" 2>&1
status=$?
set -e
if [ "$status" -ne 0 ]; then
    cat "$work/jalv.log" >&2
    fail "jalv exited with $status"
fi
grep -q "Sample rate:  48000 Hz" "$work/jalv.log" || { cat "$work/jalv.log" >&2; fail "jalv did not activate the plug-in"; }
grep -qi "error\|failed" "$work/jalv.log" && { cat "$work/jalv.log" >&2; fail "jalv reported an error"; }

echo "LV2 bundle opens in lv2ls, lv2info and jalv"
