#!/usr/bin/env bash
# Builds the core, veskaro-cli and the core's test suites for 64-bit Windows with Debian's MinGW-w64 and
# runs the tests under Wine. The Qt window is left out (Debian ships no Qt for MinGW).
#
#   build/windows-deps/   libjpeg-turbo, giflib, libpng and libwebp cross-built from Debian's own source
#                         packages (zlib is Debian's libz-mingw-w64-dev), and GoogleTest from
#                         /usr/src/googletest; built once and kept while the versions stay
#   build/windows/        the project; build/windows/bin/veskaro-cli.exe is the program
#   build/windows/wine/   the private Wine prefix and home the tests run in
#
# With --build-only it stops after the build. After the tests it packs veskaro-cli
# (scripts/package-windows.sh) and publishes the sample from the unpacked archive in a fresh Wine prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
triple=x86_64-w64-mingw32
toolchain=$source_dir/cmake/mingw-w64.cmake
build=$source_dir/build/windows
deps_base=$source_dir/build/windows-deps
jobs=${VESKARO_WINDOWS_JOBS:-2}

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# The -posix compilers by name: the default x86_64-w64-mingw32-g++ is the win32 thread model, which has
# no std::thread. dpkg-dev gives apt-get source its unpacking.
packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix nasm wine wine64 dpkg-dev cmake ninja-build
    libz-mingw-w64-dev)

installPackages() {
    local missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    echo "Installing: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

# apt-get source needs the source index of the archive the machine already uses: the same stanzas as
# deb-src.
sourceList=/etc/apt/sources.list.d/veskaro-deb-src.sources
ensureSourceIndex() {
    apt-cache showsrc --only-source giflib 2>/dev/null | grep -q '^Version:' && return
    if [ ! -e "$sourceList" ]; then
        if [ -e /etc/apt/sources.list.d/debian.sources ]; then
            sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | $sudo tee "$sourceList" >/dev/null
        else
            grep -h '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
                $sudo tee "${sourceList%.sources}.list" >/dev/null
        fi
    fi
    $sudo apt-get update
}

# The versions of a source package the archive offers, newest first.
sourceVersions() {
    apt-cache showsrc --only-source "$1" | awk '/^Version:/ {print $2}' | sort -V -r -u
}

# The newest version: the one the dependencies are keyed by.
sourceVersion() {
    sourceVersions "$1" | head -n 1
}

# Fetches the newest version the mirrors hold: an index may name a security update whose files have not
# reached the mirror yet.
fetchSource() { # package folder
    local work=$2/source-$1 version
    rm -rf "$work" && mkdir -p "$work"
    for version in $(sourceVersions "$1"); do
        if (cd "$work" && apt-get source --only-source "$1=$version" >/dev/null 2>&1); then
            find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1
            return
        fi
        rm -rf "${work:?}"/*
    done
    echo "No version of the source package $1 could be fetched" >&2
    return 1
}

buildJpeg() { # source prefix
    cmake -S "$1" -B "$1/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$2" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
        -DWITH_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm -DCMAKE_POSITION_INDEPENDENT_CODE=OFF >/dev/null
    cmake --build "$1/build" -j"$jobs" --target jpeg-static >/dev/null
    mkdir -p "$2/include" "$2/lib"
    cp "$1/build/libjpeg.a" "$2/lib/libjpeg.a"
    cp "$1"/jpeglib.h "$1"/jmorecfg.h "$1"/jerror.h "$1/build/jconfig.h" "$2/include/"
}

# giflib's own makefile builds shared libraries and tools for the host; the library is only these files.
buildGif() { # source prefix
    local objects=() c
    for c in dgif_lib egif_lib gifalloc gif_err gif_font gif_hash openbsd-reallocarray quantize; do
        [ -e "$1/$c.c" ] || continue
        $triple-gcc-posix -O2 -c "$1/$c.c" -o "$1/$c.o"
        objects+=("$1/$c.o")
    done
    mkdir -p "$2/include" "$2/lib"
    $triple-ar rcs "$2/lib/libgif.a" "${objects[@]}"
    cp "$1/gif_lib.h" "$2/include/"
}

buildPng() { # source prefix
    cmake -S "$1" -B "$1/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$2" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF >/dev/null
    cmake --build "$1/build" -j"$jobs" >/dev/null
    cmake --install "$1/build" >/dev/null
}

buildWebp() { # source prefix
    local tools=(ANIM_UTILS CWEBP DWEBP GIF2WEBP IMG2WEBP VWEBP WEBPINFO WEBPMUX EXTRAS LIBWEBPMUX) options=() t
    for t in "${tools[@]}"; do options+=("-DWEBP_BUILD_$t=OFF"); done
    cmake -S "$1" -B "$1/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$2" -DBUILD_SHARED_LIBS=OFF "${options[@]}" >/dev/null
    cmake --build "$1/build" -j"$jobs" >/dev/null
    cmake --install "$1/build" >/dev/null
}

buildGtest() { # prefix
    cmake -S /usr/src/googletest -B "$1/../gtest-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$1" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON >/dev/null
    cmake --build "$1/../gtest-build" -j"$jobs" >/dev/null
    cmake --install "$1/../gtest-build" >/dev/null
}

# Prints the prefix of the cross-built libraries, building them when their versions changed. Nothing else
# may reach standard output, which the caller takes for the prefix (apt-get update prints its progress).
buildDependencies() {
    ensureSourceIndex >&2
    local jpeg gif png webp zlib gtest compiler key prefix work
    jpeg=$(sourceVersion libjpeg-turbo)
    gif=$(sourceVersion giflib)
    png=$(sourceVersion libpng1.6)
    webp=$(sourceVersion libwebp)
    zlib=$(dpkg-query -W -f='${Version}' libz-mingw-w64-dev)
    gtest=$(dpkg-query -W -f='${Version}' googletest)
    compiler=$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)
    key="libjpeg-turbo $jpeg, giflib $gif, libpng $png, libwebp $webp, zlib $zlib, googletest $gtest, mingw-w64 $compiler"
    prefix=$deps_base/$(echo "$key" | sha1sum | cut -c1-16)
    if [ -e "$prefix/built" ]; then
        echo "$prefix"
        return
    fi
    echo "Cross-building for Windows: $key" >&2
    rm -rf "$prefix" && mkdir -p "$prefix/work"
    work=$prefix/work
    buildJpeg "$(fetchSource libjpeg-turbo "$work")" "$prefix/install" >&2
    buildGif "$(fetchSource giflib "$work")" "$prefix/install" >&2
    buildPng "$(fetchSource libpng1.6 "$work")" "$prefix/install" >&2
    buildWebp "$(fetchSource libwebp "$work")" "$prefix/install" >&2
    buildGtest "$prefix/install" >&2
    rm -rf "$work" "$prefix/gtest-build"
    echo "$key" >"$prefix/built"
    echo "$prefix"
}

installPackages
started=$SECONDS
prefix=$(buildDependencies)/install
echo "Windows dependencies ready after $((SECONDS - started)) s"

# A private prefix and home below the build folder, so that the tests see a fresh, quiet Windows of their
# own and nothing of the user's.
wine_home=$build/wine
export WINEPREFIX=$wine_home/prefix HOME=$wine_home/home WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$HOME"
wine=$(command -v /usr/lib/wine/wine64 || command -v wine64 || command -v wine)

# No build type: neither optimised nor with debugging information, which would make the statically
# linked test programs several times slower to link. The compiler cache is used where there is one.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE= "${launcher[@]}" \
    -DVESKARO_WINDOWS_DEPS="$prefix" -DVESKARO_GUI=OFF -DVESKARO_UPLOAD=OFF -DVESKARO_WERROR=ON \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$wine"
cmake --build "$build" -j"$jobs"
echo "Windows build ready after $((SECONDS - started)) s"
[ "${1:-}" = "--build-only" ] && exit 0

# One Wine server for the whole run, instead of one started and stopped by each test; it is stopped at
# the end. Its first program makes the prefix when there is none and starts Wine's own background
# programs, which live as long as the server: started here, with no output of the tests' to hold open
# (CTest would wait for it), and before the tests run in parallel.
wineserver=$(command -v "$(dirname "$wine")/wineserver" || command -v wineserver)
"$wineserver" -p || true # already running for this prefix: it serves as well
trap '"$wineserver" -k 2>/dev/null || true' EXIT
"$wine" wineboot --init </dev/null >/dev/null 2>&1
cd "$build"
status=0
ctest --output-on-failure -j"$jobs" || status=$?
echo "Windows tests done after $((SECONDS - started)) s"
cd "$source_dir"
"$wineserver" -k 2>/dev/null || true
scripts/package-windows.sh --check || status=$?
echo "Windows package checked after $((SECONDS - started)) s"
exit $status
