#!/usr/bin/env bash
# Installs, from Debian's archive, whatever the build and the tests need and
# this machine does not have yet. Safe to run again: it installs nothing when
# everything is present.
set -euo pipefail

packages=(
    build-essential cmake pkg-config git
    juce-modules-source libflac-dev libpng-dev libjpeg-dev lv2-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    lilv-utils jalv jackd2
    xvfb xauth x11-utils xdotool imagemagick sox
    # libFuzzer, the sanitizer runtimes and llvm-symbolizer for the fuzzing tree
    clang-14 libclang-rt-14-dev llvm-14
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_if_needed=()
[ "$(id -u)" -eq 0 ] || sudo_if_needed=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_if_needed[@]}" apt-get update -qq
"${sudo_if_needed[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
