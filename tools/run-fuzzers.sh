#!/usr/bin/env bash
# Builds the libFuzzer harnesses into build-fuzz (clang, with address and
# undefined-behaviour checks), replays every stored input of each harness,
# then fuzzes each one for MARROWTONE_FUZZ_SECONDS seconds (60 by default).
# An input that breaks a harness is kept in build-fuzz/crashes/<harness>/;
# copy it into tests/fuzz/corpus/<harness>/ once the fault is fixed, so it
# is replayed from then on.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-dependencies.sh"

jobs=${MARROWTONE_JOBS:-2}
seconds=${MARROWTONE_FUZZ_SECONDS:-60}
tree="$root/build-fuzz"
harnesses=(project_state preset_file)

start=$SECONDS
if [ ! -f "$tree/CMakeCache.txt" ]; then
    CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$tree" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
        -DMARROWTONE_FUZZ=ON
fi
flock /tmp/marrowtone-build.lock \
    cmake --build "$tree" -j"$jobs" --target "${harnesses[@]/%/_fuzzer}"
echo "build-fuzz built in $((SECONDS - start)) s"

# The harnesses make their own scratch home below TMPDIR; a harness that
# crashes cannot remove it, so it goes with this folder.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch XDG_CONFIG_HOME=$scratch/.config TMPDIR=$scratch
export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer

for harness in "${harnesses[@]}"; do
    binary="$tree/tests/fuzz/${harness}_fuzzer"
    stored="$root/tests/fuzz/corpus/$harness"
    grown="$tree/corpus/$harness"
    crashes="$tree/crashes/$harness"
    mkdir -p "$grown" "$crashes"

    start=$SECONDS
    "$binary" -runs=0 "$stored"
    # New inputs go to the tree's own corpus; the stored one grows by hand only.
    "$binary" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
        -dict="$root/tests/fuzz/$harness.dict" -artifact_prefix="$crashes/" \
        -print_final_stats=1 "$grown" "$stored"
    echo "$harness: stored inputs replayed and fuzzed for $seconds s in $((SECONDS - start)) s"
done
