#!/usr/bin/env bash
# Builds Veskaro and runs it on the bundled sample project.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESKARO_BUILD_TESTS=OFF
cmake --build build/release
exec build/release/bin/veskaro data/samples/demo/demo.vsk
