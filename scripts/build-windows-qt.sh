#!/usr/bin/env bash
# A static Qt 6 for 64-bit Windows, for the window's Windows build: Debian
# ships no Qt built for MinGW, so this cross-builds Debian's own qt6-base
# source package, of the version installed on this machine (whose moc, rcc
# and uic serve as the host tools), with the MinGW-w64 compilers into
# PREFIX. Core, Gui, Widgets, Test, the windows platform plugin and the
# Fusion style are all the window needs; the rest is left out to keep the
# build short (about 55 CPU-minutes). Does nothing when PREFIX already holds
# a finished build. An interrupted build resumes where it stopped.
# Usage: scripts/build-windows-qt.sh PREFIX
#        scripts/build-windows-qt.sh --key   prints the name of this Qt
#                                             (version and configuration)
set -euo pipefail
scripts=$(realpath "$(dirname "$0")")
root=$(dirname "$scripts")

options=(
    -release -static -static-runtime -nomake tests -nomake examples
    -no-opengl -no-dbus -no-icu -no-zstd -no-feature-vulkan -no-feature-network
    -no-feature-sql -no-feature-xml -no-feature-printsupport -no-feature-concurrent
    # Debian's source lacks src/3rdparty/wintab and src/3rdparty/sqlite.
    -no-feature-tabletevent
    -qt-zlib -qt-pcre -qt-libpng -no-libjpeg -qt-harfbuzz -no-freetype -no-feature-direct2d
)
# With direct2d off, Qt 6.4 still reaches for the DirectWrite font database
# that only the direct2d build compiles; the program's link then fails.
patch_id="directwrite3-needs-direct2d"

host_version() { dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null; }
key() {
    local version digest
    version=$(host_version)
    [[ -n $version ]] || version=unknown
    digest=$(printf '%s\n' "${options[@]}" "$patch_id" | sha256sum | cut -c1-12)
    echo "qt6-base-${version//[^A-Za-z0-9.]/_}-mingw64-static-$digest"
}

if [[ ${1-} == --key ]]; then
    "$scripts"/install-deps.sh >/dev/null
    key
    exit 0
fi
prefix=$(realpath -m "${1:?usage: $0 PREFIX | --key}")
stamp=$prefix/nkq-qt-build.txt
[[ -f $stamp ]] && exit 0
# Two builds of the same Qt at once (CI beside a developer) take turns; the
# second finds the first one's result.
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[[ -f $stamp ]] && exit 0

"$scripts"/install-deps.sh g++-mingw-w64-x86-64-posix dpkg-dev
version=$(host_version)
source=$prefix.source
build=$prefix.build
if [[ ! -f $source/.nkq-patched ]]; then
    "$scripts"/fetch-debian-source.sh "qt6-base=$version" "$source"
    file=$source/src/plugins/platforms/windows/qwindowsintegration.cpp
    sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' "$file"
    if (($(grep -c '^#if QT_CONFIG(directwrite3) && QT_CONFIG(direct2d)$' "$file") != 2)); then
        echo "$0: the DirectWrite patch no longer fits $file" >&2
        exit 1
    fi
    touch "$source/.nkq-patched"
fi

rm -rf "$prefix"
mkdir -p "$build"
if [[ ! -f $build/build.ninja ]]; then
    (cd "$build" && "$source"/configure -prefix "$prefix" "${options[@]}" -qt-host-path /usr -- \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64-compilers.cmake" \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
fi
cmake --build "$build" --parallel "$(nproc)"
cmake --install "$build" >/dev/null
{
    echo "Qt $version for Windows (MinGW-w64, static), $(key)"
    echo "built $(date -u +%Y-%m-%dT%H:%M:%SZ) with: ${options[*]}"
} >"$stamp"
rm -rf "$build" "$source"
echo "Qt for Windows in $prefix"
