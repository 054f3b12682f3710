#!/usr/bin/env bash
# Builds Veskaro and runs it on the bundled sample project: the designer window where a display is
# available, otherwise the project's outline printed on the terminal.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESKARO_BUILD_TESTS=OFF
cmake --build build/release -j2
sample=data/samples/demo/demo.vsk
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/release/bin/veskaro "$sample"
fi
echo "No display found: printing the sample's outline instead of opening the designer window."
exec build/release/bin/veskaro-outline "$sample"
