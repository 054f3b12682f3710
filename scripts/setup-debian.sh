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
    qtkeychain-qt6-dev   # the window keeps remembered upload passwords in the desktop's secret store
    gnome-keyring        # its test's own keyring daemon, on a session bus of its own (dbus-run-session)
    dbus-daemon
    chromium
    uglifyjs # minifies the shipped slider scripts; it runs on any Node.js, Debian's or newer
    desktop-file-utils
    shared-mime-info
    python3
    libssh-dev           # uploads over SFTP
    libcurl4-openssl-dev # uploads over FTP and FTPS
    openssh-client       # the upload tests' keys and agent (ssh-keygen, ssh-agent, ssh-add)
    openssl              # the upload tests' certificates
    python3-pyftpdlib    # the upload tests' plain FTP server
)

# Servers the upload tests start themselves on loopback ports. Their packages would start them system-wide
# on installing; they are installed with every service start refused and left disabled.
daemon_packages=(
    openssh-server
    proftpd-core
    proftpd-mod-crypto
)
daemon_services=(ssh proftpd)

# scripts/fuzz.sh builds the libFuzzer targets with clang.
fuzz_packages=(
    clang
    libclang-rt-dev
)
[ "${1:-}" = "--fuzz" ] && packages+=("${fuzz_packages[@]}")

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}
missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
missing_daemons=()
for p in "${daemon_packages[@]}"; do
    installed "$p" || missing_daemons+=("$p")
done
# The browser tests need Node.js and npm. A machine may carry a newer Node.js from elsewhere, which brings
# its own npm, so Debian's nodejs and npm are installed only where the commands are missing.
command -v node >/dev/null || missing+=(nodejs)
command -v npm >/dev/null || missing+=(npm)
[ ${#missing[@]} -eq 0 ] && [ ${#missing_daemons[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
if [ ${#missing_daemons[@]} -gt 0 ]; then
    echo "Installing, without starting them: ${missing_daemons[*]}"
    # A policy-rc.d that exits 101 forbids every service start while the packages install; one that was
    # there already stays as it was.
    policy=/usr/sbin/policy-rc.d
    placed=""
    if [ ! -e "$policy" ]; then
        printf '#!/bin/sh\nexit 101\n' | $sudo tee "$policy" >/dev/null
        $sudo chmod 755 "$policy"
        placed=yes
    fi
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing_daemons[@]}" || status=$?
    [ -n "$placed" ] && $sudo rm -f "$policy"
    [ "${status:-0}" -eq 0 ] || exit "$status"
    for service in "${daemon_services[@]}"; do
        if command -v systemctl >/dev/null && [ -d /run/systemd/system ]; then
            $sudo systemctl disable --now "$service" >/dev/null 2>&1 || true
        fi
        $sudo update-rc.d "$service" disable >/dev/null 2>&1 || true
    done
fi
