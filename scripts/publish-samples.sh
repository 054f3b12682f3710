#!/usr/bin/env bash
# Publishes every bundled sample project in place with veskaro-cli, so that data/samples holds the
# sliders that "View Sample" shows. Run it after changing a sample project, its pictures or the
# page generator, and commit what changed. A veskaro-cli to use may be given; otherwise one is built.
set -euo pipefail
cd "$(dirname "$0")/.."

cli="${1:-}"
if [ -z "$cli" ]; then
    scripts/setup-debian.sh
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESKARO_BUILD_TESTS=OFF
    cmake --build build/release -j2 --target veskaro-cli veskaro_data
    cli=build/release/bin/veskaro-cli
fi
cli="$(realpath "$cli")"

# The work folders of this run stay out of the user's own.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME="$work"

for project in data/samples/*/*.vsk; do
    "$cli" publish "$project" --quiet
    echo "Published $project"
done
