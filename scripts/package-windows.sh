#!/usr/bin/env bash
# Packs veskaro-cli for 64-bit Windows: build/windows/veskaro-cli-windows-x64.zip holds the folder
# veskaro-cli/ with veskaro-cli.exe and the shipped data files beside it (slider scripts, help, samples),
# where the program looks for them. Builds build/windows first when the program is missing.
#
#   scripts/package-windows.sh           makes the archive
#   scripts/package-windows.sh --check   makes it, unpacks it into a fresh Wine prefix of its own and
#                                        publishes the bundled sample with the unpacked program
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build/windows
archive=$build/veskaro-cli-windows-x64.zip

[ -e "$build/bin/veskaro-cli.exe" ] || scripts/test-windows.sh --build-only

stage=$build/package/veskaro-cli
rm -rf "$build/package" && mkdir -p "$stage"
cp "$build/bin/veskaro-cli.exe" "$stage/"
cp -r "$build/shipped-data/." "$stage/"
rm -f "$archive"
(cd "$build/package" && cmake -E tar cf "$archive" --format=zip veskaro-cli)
echo "$archive"

[ "${1:-}" = "--check" ] || exit 0

# A fresh prefix and home, as a user's first start of the unpacked program meets them.
wine=$(command -v /usr/lib/wine/wine64 || command -v wine64 || command -v wine)
wineserver=$(command -v "$(dirname "$wine")/wineserver" || command -v wineserver)
check=$(mktemp -d "$build/package-check.XXXXXX")
trap 'WINEPREFIX="$check/prefix" "$wineserver" -k 2>/dev/null || true; rm -rf "$check"' EXIT
mkdir -p "$check/home" "$check/unpacked"
(cd "$check/unpacked" && cmake -E tar xf "$archive")
export WINEPREFIX=$check/prefix HOME=$check/home WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
program=$check/unpacked/veskaro-cli
"$wine" "Z:$program/veskaro-cli.exe" publish "Z:$program/samples/demo/demo.vsk" --quiet --to "Z:$check/site"
for file in demo.html jslib.js slidervsk.js DemoSlider.css slider0.jpg slider1.jpg slider2.gif demo.vsk \
    demo_PublishReport.txt; do
    [ -s "$check/site/$file" ] || { echo "The unpacked program did not publish $file" >&2; exit 1; }
done
cmp "$check/site/demo.html" data/samples/demo/demo.html ||
    { echo "The unpacked program's page differs from the bundled sample's" >&2; exit 1; }
echo "The unpacked program published the sample."
