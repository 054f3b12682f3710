#!/bin/sh
# Runs a command with a home folder, a session bus and an unlocked keyring daemon of its own, so that tests of
# the desktop's secret store touch neither the user's keyring nor the machine's bus. The daemon is stopped by
# its pid when the command ends, and the bus with it.
set -eu
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/run"
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run"
export VESKARO_PRIVATE_KEYRING=1
dbus-run-session -- sh -c '
    printf %s keyring-of-the-test | gnome-keyring-daemon --foreground --unlock --components=secrets >/dev/null &
    daemon=$!
    tries=0
    until [ -S "$XDG_RUNTIME_DIR/keyring/control" ] || [ $tries -ge 100 ]; do sleep 0.1; tries=$((tries + 1)); done
    status=0
    "$@" || status=$?
    kill $daemon 2>/dev/null || true
    wait $daemon 2>/dev/null || true
    exit $status' sh "$@"
