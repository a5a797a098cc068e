#!/usr/bin/env bash
# Builds nkq.exe for 64-bit Windows on this Debian machine: installs the
# MinGW-w64 cross compiler and Wine (to run it here) when missing, builds
# SQLite for Windows from Debian's source once, then configures and builds
# the windows preset. The result is one statically
# linked file, build/windows/tools/nkq/nkq.exe, to copy to a Windows PC.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine wine64
scripts/build-windows-sqlite.sh build/windows-sqlite
cmake --workflow --preset windows
echo "Built $(pwd)/build/windows/tools/nkq/nkq.exe"
