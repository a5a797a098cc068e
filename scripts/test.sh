#!/usr/bin/env bash
# Builds everything and runs the whole test suite; installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset dev
cmake --build --preset dev
ctest --preset dev
