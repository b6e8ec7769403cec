#!/usr/bin/env bash
# Runs the unit and conformance tests under AddressSanitizer and
# UndefinedBehaviourSanitizer (build-asan), then the threading tests under
# ThreadSanitizer (build-tsan). Each tree is configured once and builds only
# the test binary, through the shared build lock.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-dependencies.sh"

jobs=${MARROWTONE_JOBS:-2}

# -O1 keeps the instrumented build quick and its stack traces readable.
build_tests()
{
    local tree=$1 sanitizers=$2
    if [ ! -f "$tree/CMakeCache.txt" ]; then
        cmake -S "$root" -B "$tree" \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
            -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
            -DMARROWTONE_SANITIZE="$sanitizers"
    fi
    flock /tmp/marrowtone-build.lock cmake --build "$tree" -j"$jobs" --target marrowtone_tests
}

# The tests never see the real home; the test binary also makes its own.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch XDG_CONFIG_HOME=$scratch/.config

# Every report fails the run: nothing is suppressed, as neither our code
# nor the JUCE code the tests reach gives a false report.
export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"

# The test binary replaces operator new to count allocations. Against the
# compiler's shared sanitizer runtime that replacement simply wins; it takes
# its memory from malloc, which the sanitizers still watch, so only the
# new/delete mismatch checks are lost.
display=(xvfb-run -a -s "-screen 0 1280x1024x24")

start=$SECONDS
build_tests "$root/build-asan" "address;undefined"
echo "build-asan built in $((SECONDS - start)) s"
start=$SECONDS
"${display[@]}" "$root/build-asan/tests/marrowtone_tests" --gtest_brief=1
echo "address and undefined-behaviour tests ran in $((SECONDS - start)) s"

start=$SECONDS
build_tests "$root/build-tsan" "thread"
echo "build-tsan built in $((SECONDS - start)) s"
start=$SECONDS
"${display[@]}" "$root/build-tsan/tests/marrowtone_tests" --gtest_brief=1 --gtest_filter='Threading*'
echo "thread tests ran in $((SECONDS - start)) s"
