#!/usr/bin/env bash
# Builds Veskaro for release and makes its Debian package from the install rules; prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESKARO_BUILD_TESTS=OFF \
    -DVESKARO_REQUIRE_MINIFIER=ON
cmake --build build/release -j2
cd build/release
cpack -G DEB
ls "$PWD"/veskaro_*.deb
