#!/usr/bin/env bash
# Checks a project round trip in a real DAW without a display: Debian's
# Ardour 7 runs a headless session on its Dummy backend, inserts the built
# Marrowtone VST3, sets Wow, saves, reopens and reads Wow back. Needs the
# "ardour" package and a built build/ tree; not part of run-tests.sh, as
# Ardour is a large install.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bundle="$root/build/plugin/Marrowtone_artefacts/Release/VST3/Marrowtone.vst3"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch
mkdir -p "$HOME/.vst3"
# Keeping the build time makes the scan cache clearly newer than the
# plug-in; a cache written in the same second as the copy was at times
# ignored.
cp -R --preserve=timestamps "$bundle" "$HOME/.vst3/"

# The Lua runner cannot scan for plug-ins; Ardour's scanner fills the
# cache it reads.
LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst3-scanner -q -f "$HOME/.vst3/Marrowtone.vst3"

output=$(SESSION_DIR="$scratch/session" timeout 300 ardour7-lua "$root/tools/check-in-ardour.lua" 2>&1) || true
grep -E "^Wow|Error" <<< "$output"
grep -q "^Wow restored" <<< "$output"
