#!/usr/bin/env bash
# Builds Tessarin and starts it: the main window where a display is available ($DISPLAY or $WAYLAND_DISPLAY),
# the console otherwise. Extra arguments go to the program (for example --files DIR or --headless).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$(nproc)" --target tessarin
exec build/app/tessarin "$@"
