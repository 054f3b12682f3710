#!/usr/bin/env bash
# Builds Veskaro with AddressSanitizer and UndefinedBehaviorSanitizer, warnings as errors, and runs every
# test suite; then builds the core, veskaro-cli and their tests for Windows and runs them under Wine
# (scripts/test-windows.sh), unless VESKARO_SKIP_WINDOWS=1.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh
# The browser tests drive Debian's Chromium through playwright-core, installed exactly as locked.
npm ci --prefix tests/web --no-audit --no-fund
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVESKARO_SANITIZE=ON -DVESKARO_WERROR=ON \
    -DVESKARO_REQUIRE_MINIFIER=ON
cmake --build build/test
(cd build/test && ctest --output-on-failure -j2)
if [ "${VESKARO_SKIP_WINDOWS:-0}" != 1 ]; then
    scripts/test-windows.sh
fi
