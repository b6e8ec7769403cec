#!/usr/bin/env bash
# Builds everything and runs every test: unit tests on the processor, the
# editor in a virtual display, and the bundles in real hosts.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/build.sh"

# The tests never see the real home; each test binary also makes its own.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch XDG_CONFIG_HOME=$scratch/.config

cd "$root/build"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j"${MARROWTONE_JOBS:-2}" | tee "$scratch/ctest.log"
passed=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$scratch/ctest.log")

# Then the instrumented trees: the tests under the address, undefined-
# behaviour and thread sanitizers, and the fuzzers on the state and preset
# readers.
"$root/tools/run-sanitizer-tests.sh"
"$root/tools/run-fuzzers.sh"

# Everything above stops the script at its first failure, so reaching here
# means the ctest suite and every instrumented stage passed.
echo "ctest: ${passed} passed, 0 failed"
