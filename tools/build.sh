#!/usr/bin/env bash
# Configures (once) and builds every target into build/, on two cores.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-dependencies.sh"

if [ ! -f "$root/build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$root/build" -j"${MARROWTONE_JOBS:-2}" "$@"
