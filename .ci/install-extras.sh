#!/usr/bin/env bash
# What CI needs beyond the README's packages: clang-format for the
# formatting check, clang with its sanitizer and libFuzzer runtimes for the
# fuzz build, ccache to keep compiled objects between runs. Installs nothing
# already there.
set -euo pipefail
cd "$(dirname "$0")/.."
exec scripts/install-deps.sh clang clang-format libclang-rt-14-dev ccache
