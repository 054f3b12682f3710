#!/usr/bin/env bash
# Installs the build into a fresh temporary prefix and checks what a user gets: the programs, the data
# folder, the menu entry, the type of "*.vsk" files and the icons. With "publish" it then publishes the
# bundled sample with the installed veskaro-cli, which has to find the installed data folder by itself.
#
# Usage: install-test.sh CMAKE SOURCE_FOLDER BUILD_FOLDER MINIFIED layout|publish
# (MINIFIED is 1 when the build minifies the slider scripts, 0 when it ships them readable)
set -euo pipefail

cmake=$1
source=$2
build=$3
minified=$4
mode=$5

work=$(mktemp -d "${TMPDIR:-/tmp}/veskaro-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
share=$prefix/share
shipped=$build/shipped-data

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

expect_file() {
    [ -f "$1" ] || fail "missing: ${1#"$work"/}"
}

# The width and height of a PNG picture, from its header.
png_size() {
    local hex
    hex=$(od -An -tx1 -j16 -N8 "$1" | tr -d ' \n')
    echo "$((16#${hex:0:8}))x$((16#${hex:8:8}))"
}

"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || {
    cat "$work/install.log" >&2
    fail "cmake --install did not succeed"
}
# Everything runs from elsewhere, so that nothing is found through the build tree or the current folder.
cd "$work"

check_layout() {
    [ -x "$prefix/bin/veskaro" ] || fail "bin/veskaro is not installed as a program"
    [ ! -e "$prefix/bin/jslib.js" ] || fail "data files lie beside the installed programs"
    diff -r "$shipped" "$share/veskaro" || fail "share/veskaro differs from the shipped data folder"
    # The build ships the slider scripts minified (readable when it has no minifier), and the rest of
    # data/ as it is.
    local script
    for script in jslib.js slidervsk.js; do
        if [ "$minified" = 1 ]; then
            [ "$(wc -c <"$share/veskaro/$script")" -lt "$(wc -c <"$source/data/$script")" ] ||
                fail "$script is installed unminified"
        else
            cmp -s "$share/veskaro/$script" "$source/data/$script" || fail "$script is not installed as it is"
        fi
    done
    diff -r -x jslib.js -x slidervsk.js "$source/data" "$share/veskaro" || fail "share/veskaro differs from data/"

    local desktop=$share/applications/veskaro.desktop
    expect_file "$desktop"
    desktop-file-validate --no-hints "$desktop" || fail "the menu entry is not valid"
    grep -qx 'Exec=veskaro %f' "$desktop" || fail "the menu entry does not start bin/veskaro with the file"
    grep -qx 'MimeType=application/x-veskaro-project;' "$desktop" || fail "the menu entry does not open *.vsk"

    expect_file "$share/mime/packages/veskaro.xml"
    XDG_DATA_DIRS=$share update-mime-database "$share/mime" || fail "the type of *.vsk files is not valid"
    grep -qx '[0-9]*:application/x-veskaro-project:\*\.vsk' "$share/mime/globs2" ||
        fail "*.vsk files do not get the Veskaro project type"

    local size
    for size in 16 32 64 128 256; do
        for icon in apps/veskaro.png mimetypes/application-x-veskaro-project.png; do
            local file=$share/icons/hicolor/${size}x${size}/$icon
            expect_file "$file"
            [ "$(png_size "$file")" = "${size}x${size}" ] || fail "${file#"$work"/} is $(png_size "$file")"
        done
    done
}

check_publish() {
    [ -x "$prefix/bin/veskaro-cli" ] || fail "bin/veskaro-cli is not installed as a program"
    # The per-user folders lie in the temporary folder too.
    export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
    export XDG_DOCUMENTS_DIR=$work/documents XDG_PICTURES_DIR=$work/pictures
    mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_DOCUMENTS_DIR" "$XDG_PICTURES_DIR"

    local out=$work/published
    "$prefix/bin/veskaro-cli" publish "$share/veskaro/samples/demo/demo.vsk" --to "$out" ||
        fail "the installed veskaro-cli could not publish the sample"
    local file
    for file in demo.vsk demo.html demo_PublishReport.txt DemoSlider.css jslib.js slidervsk.js \
        slider0.jpg slider1.jpg slider2.gif; do
        expect_file "$out/$file"
    done
    cmp "$shipped/jslib.js" "$out/jslib.js" || fail "jslib.js was not copied from the data folder"
    cmp "$shipped/slidervsk.js" "$out/slidervsk.js" || fail "slidervsk.js was not copied from the data folder"
    grep -q 'DemoSlider.css' "$out/demo.html" || fail "the page does not link its style sheet"
    diff -r "$shipped" "$share/veskaro" || fail "publishing changed the installed data folder"
}

case $mode in
layout) check_layout ;;
publish) check_publish ;;
*) fail "unknown mode: $mode" ;;
esac
echo "PASS: install $mode"
