#!/usr/bin/env bash
# Builds the workstation for 64-bit Windows on this Debian machine: the
# window nkq-workstation.exe, nkq.exe and the installer
# nkq-setup-VERSION.exe, in build/windows. Installs the MinGW-w64 cross
# compiler, Wine (to run the programs here) and NSIS when missing, and makes
# SQLite for Windows from Debian's source once. Each program is one
# statically linked file that needs nothing but Windows itself.
#
# The window needs a Windows Qt, taken from the first of:
#   NKQ_WINDOWS_QT             a prefix holding one (scripts/build-windows-qt.sh makes it)
#   ${XDG_CACHE_HOME:-~/.cache}/nkq/<Qt version and configuration>
#                              kept between runs and builds; made there the
#                              first time, which takes about an hour
#
# Usage: scripts/build-windows.sh [--tests]
#   --tests   the same programs and installer with the tests, in
#             build/windows-tests (.ci/windows.sh runs them under Wine)
set -euo pipefail
cd "$(dirname "$0")/.."
fail() {
    echo "$0: $*" >&2
    exit 1
}

preset=windows
case ${1-} in
"") ;;
--tests) preset=windows-tests ;;
*) fail "usage: $0 [--tests]" ;;
esac

scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine wine64 nsis
scripts/build-windows-sqlite.sh build/windows-sqlite

if [[ -n ${NKQ_WINDOWS_QT-} ]]; then
    qt=$(realpath -m "$NKQ_WINDOWS_QT")
    [[ -f $qt/lib/cmake/Qt6/Qt6Config.cmake ]] || fail "NKQ_WINDOWS_QT=$NKQ_WINDOWS_QT holds no Qt 6"
else
    qt=${XDG_CACHE_HOME:-$HOME/.cache}/nkq/$(scripts/build-windows-qt.sh --key)
    [[ -f $qt/nkq-qt-build.txt ]] || echo "Building Qt for Windows into $qt once (about an hour)"
    scripts/build-windows-qt.sh "$qt"
fi
echo "Qt for Windows: $qt"
# The presets take the Qt prefix from here.
export NKQ_WINDOWS_QT=$qt

if [[ $preset == windows-tests ]]; then
    # GoogleTest for Windows, from Debian's sources of it.
    gtest_prefix=$PWD/build/windows-googletest
    if [[ ! -f $gtest_prefix/lib/cmake/GTest/GTestConfig.cmake ]]; then
        cmake -S /usr/src/googletest -B build/windows-googletest-build -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64-compilers.cmake" \
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$gtest_prefix" >/dev/null
        cmake --build build/windows-googletest-build
        cmake --install build/windows-googletest-build >/dev/null
    fi
fi

# A folder configured for another Qt starts afresh.
cache=build/$preset/CMakeCache.txt
if [[ -f $cache && $(sed -n 's/^CMAKE_FIND_ROOT_PATH:[A-Z]*=//p' "$cache") != "$qt" ]]; then
    rm -rf "build/$preset"
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "build/$preset/CMakeCache.txt")
echo "Built in $PWD/build/$preset:"
echo "  tools/workstation/nkq-workstation.exe  the window"
echo "  tools/nkq/nkq.exe                      the command line"
echo "  nkq-setup-$version.exe                    the installer"
