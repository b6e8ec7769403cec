#!/usr/bin/env bash
# Reproduces the README's performance figures in one command: installs Calf
# (the peer Marrowtone is timed against) if it is missing, builds the LV2
# bundle and the two timing programs through the shared build lock, then runs
# them on a minute of generated music. Extra arguments go to marrowtone-compare
# (e.g. --runs 9).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
calf_uri_bundle=/usr/lib/lv2/calf.lv2

if [ ! -d "$calf_uri_bundle" ]; then
    sudo_if_needed=()
    [ "$(id -u)" -ne 0 ] && sudo_if_needed=(sudo)
    "${sudo_if_needed[@]}" apt-get install -y --no-install-recommends calf-plugins
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
    "$root/tools/install-dependencies.sh"
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
fi

flock /tmp/marrowtone-build.lock \
    cmake --build "$build" -j"${MARROWTONE_JOBS:-2}" --target marrowtone-compare marrowtone-stage-costs

echo "Machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores"
echo
"$build/tools/benchmark/marrowtone-compare_artefacts/Release/marrowtone-compare" "$@"
echo
"$build/tools/benchmark/marrowtone-stage-costs"
