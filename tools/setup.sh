#!/usr/bin/env bash
# Installs what building and testing Tessarin needs on Debian 12, skipping what is already there. It assumes
# nothing beyond a minimal Debian root with apt: packages are installed without their recommendations, so
# everything the build needs is named here.
set -euo pipefail

# The build, the tests and the benchmarks (qt6-base-dev brings Qt SQL; its SQLite driver keeps the
# store, and SQLite's own library tells why a write failed; the tests hold the store's file with its
# command-line program); git lists the sources for the formatting check.
packages=(cmake make g++ pkg-config git qt6-base-dev libqt6sql6-sqlite libsqlite3-dev sqlite3 googletest libgtest-dev libbenchmark-dev clang-format ngircd)
# Fuzzing: clang with its libFuzzer runtime, and llvm-symbolizer so that a crash the fuzzers or the
# sanitizers find is reported with function names and lines.
packages+=(clang libclang-rt-14-dev llvm)
# The operator's windows: Qt Charts for the generator test window (its CMake package needs Qt's OpenGL
# one), a virtual display for screenshots.
packages+=(qt6-charts-dev libqt6opengl6-dev xvfb xauth)

# The network tests start ngircd and InspIRCd (a server that closes flooding clients; ircd-hybrid cannot
# be installed beside ngircd) on loopback ports of their own; openssl makes their test certificates.
packages+=(inspircd openssl)
# The account tests link InspIRCd to Anope's services, for NickServ accounts and SASL.
packages+=(anope)
# As root, the fault suite makes the data folder read-only with a bind mount in a namespace of its own.
packages+=(mount)
# The Debian package: dpkg-shlibdeps (dpkg-dev) and file find the libraries it depends on.
packages+=(dpkg-dev file)

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
    for service in ngircd inspircd anope; do
        if [[ " ${missing[*]} " == *" $service "* ]] && [ -d /run/systemd/system ]; then
            systemctl disable --now "$service" >/dev/null 2>&1 || true
        fi
    done
fi
