#!/usr/bin/env bash
# Builds Veskaro and runs it on a copy of the bundled sample project: the designer window where a
# display is available, otherwise veskaro-cli publishes the sample into a folder.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESKARO_BUILD_TESTS=OFF
cmake --build build/release -j2
# A fresh copy, so that saving from the designer never changes the bundled sample.
rm -rf build/sample
cp -r data/samples/demo build/sample
cd build/sample
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec ../release/bin/veskaro demo.vsk
fi
echo "No display found: publishing the sample with veskaro-cli instead of opening the designer window."
mkdir -p site
../release/bin/veskaro-cli publish demo.vsk --to site
echo "The published slider page: $(pwd)/site/demo.html"
