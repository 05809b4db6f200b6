#!/usr/bin/env bash
# Installs what building and testing Tessarin needs on Debian 12, skipping what is already there.
set -euo pipefail

packages=(cmake make g++ pkg-config qt6-base-dev googletest libgtest-dev libbenchmark-dev clang clang-format ngircd)
# The operator's windows: Qt Charts for the generator test window, a virtual display for screenshots.
packages+=(qt6-charts-dev xvfb xauth)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
