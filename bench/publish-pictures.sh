#!/usr/bin/env bash
# Publishes the pictures given as one 640 x 480 slider, the way a save does, so that publishing can be
# timed against other tools (anchors.sh -b) or on a corpus repeated many times:
#
#   bench/publish-pictures.sh [--repeat N] [--option NAME=VALUE]... OUTDIR PICTURE...
#
# Writes OUTDIR/bench.vsk with one item per picture (the list N times over, default once) and the project
# options given (such as Pictures.WebP=1; a new project's defaults otherwise) and runs
# `veskaro-cli publish` on it; VESKARO_CLI names the program (default: the release build beside this
# script's checkout, build/bench/bin/veskaro-cli). Extra options for it go in VESKARO_CLI_OPTIONS.
set -euo pipefail
repeat=1
options=()
while [[ ${1:-} == --repeat || ${1:-} == --option ]]; do
    if [[ $1 == --repeat ]]; then repeat=$2; else options+=("$2"); fi
    shift 2
done
out=${1:?usage: publish-pictures.sh [--repeat N] [--option NAME=VALUE]... OUTDIR PICTURE...}
shift
(( $# > 0 )) || { echo "no pictures given" >&2; exit 2; }
cli=${VESKARO_CLI:-$(dirname "$0")/../build/bench/bin/veskaro-cli}
mkdir -p "$out"
t='#$@'
{
    printf '<Warning_Info>\r\nNote: This file was created and maintained by Veskaro 1.0.\r\n'
    printf 'Do not modify it or script project may not be opened again!\r\n</Warning_Info>\r\n'
    printf '<Product_Name>\r\nVeskaro\r\n</Product_Name>\r\n<Product_Version>\r\n1.0\r\n</Product_Version>\r\n'
    printf '<Applet_Parameters>\r\nBench%s640%s480%s-26' "$t" "$t" "$t"
    printf '%s%s' "$t" 000000 "$t" FFFFFF "$t" 000000 "$t" C0C0C0 "$t" FFFF00 "$t" 000000 "$t" FFFF00 "$t" 000000
    printf '%s%s1000%s500%s3000%s1%s%s%s%s1%s\r\n' "$t" "$t" "$t" "$t" "$t" "$t" "$t" "$t" "$t" "$t"
    printf '</Applet_Parameters>\r\n<Item_Parameters>\r\n'
    for ((r = 0; r < repeat; ++r)); do
        for picture in "$@"; do
            case $picture in /*) ;; *) picture=$PWD/$picture ;; esac
            printf '%s%s%shttps://www.example.com/%s_self%sA picture%s640%s480%s0%s%s\r\n' \
                "$t" "$picture" "$t" "$t" "$t" "$t" "$t" "$t" "$t" "$t"
        done
    done
    printf '</Item_Parameters>\r\n'
    if (( ${#options[@]} > 0 )); then
        printf '<Veskaro_Options>\r\n'
        printf '%s\r\n' "${options[@]}"
        printf '</Veskaro_Options>\r\n'
    fi
} >"$out/bench.vsk"
# shellcheck disable=SC2086  # the options are words on purpose
exec "$cli" publish "$out/bench.vsk" --quiet ${VESKARO_CLI_OPTIONS:-}
