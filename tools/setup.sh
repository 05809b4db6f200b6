#!/usr/bin/env bash
# Installs what building and testing Tessarin needs on Debian 12, skipping what is already there.
set -euo pipefail

packages=(cmake make g++ pkg-config qt6-base-dev googletest libgtest-dev libbenchmark-dev clang clang-format ngircd)
# The operator's windows: Qt Charts for the generator test window, a virtual display for screenshots.
packages+=(qt6-charts-dev xvfb xauth)

# The network tests start ngircd and InspIRCd (a server that closes flooding clients; ircd-hybrid cannot
# be installed beside ngircd) on loopback ports of their own; openssl makes their test certificates.
packages+=(inspircd openssl)

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
    # Only the tests run an IRC server here, each with a configuration of its own: not the system's.
    for service in ngircd inspircd; do
        if [[ " ${missing[*]} " == *" $service "* ]] && [ -d /run/systemd/system ]; then
            systemctl disable --now "$service" >/dev/null 2>&1 || true
        fi
    done
fi
