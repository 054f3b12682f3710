#!/usr/bin/env bash
# Installs every Debian package that building and testing Veskaro needs (with --fuzz, also those of
# scripts/fuzz.sh). Safe to run again: when everything is already installed it does nothing.
set -euo pipefail

packages=(
    build-essential
    cmake
    ninja-build
    pkg-config
    libgtest-dev
    libgmock-dev
    libjpeg62-turbo-dev
    libgif-dev
    libwebp-dev
    libpng-dev
    qt6-base-dev
    chromium
    uglifyjs # minifies the shipped slider scripts; it runs on any Node.js, Debian's or newer
    desktop-file-utils
    shared-mime-info
    python3
)

# scripts/fuzz.sh builds the libFuzzer targets with clang.
fuzz_packages=(
    clang
    libclang-rt-dev
)
[ "${1:-}" = "--fuzz" ] && packages+=("${fuzz_packages[@]}")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# The browser tests need Node.js and npm. A machine may carry a newer Node.js from elsewhere, which brings
# its own npm, so Debian's nodejs and npm are installed only where the commands are missing.
command -v node >/dev/null || missing+=(nodejs)
command -v npm >/dev/null || missing+=(npm)
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
