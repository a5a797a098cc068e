#!/usr/bin/env bash
# Builds everything and runs the whole test suite; installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset dev
cmake --build --preset dev
# The dev preset runs one test per core (presets cannot count cores, so it
# says this machine's 2). Here most of a test's time is a wait on the
# modem's real time-outs and the bounds hold under load: four run per core.
ctest --preset dev --parallel $((4 * $(nproc)))
