#!/usr/bin/env bash
# What CI needs beyond the README's packages: clang with its sanitizer and
# libFuzzer runtimes for the fuzz build. Installs nothing already there.
set -euo pipefail
cd "$(dirname "$0")/.."
exec scripts/install-deps.sh clang libclang-rt-14-dev
