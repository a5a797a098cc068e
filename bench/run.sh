#!/usr/bin/env bash
# The workstation's benchmarks: builds them optimised (preset "bench") and
# prints one figure per line. Takes about two minutes, most of it the paced
# upload, which runs at the real line's speed. Not part of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset bench > /dev/null
cmake --build --preset bench > /dev/null
bin=build/bench/bench

"$bin/bench_nkq_read"                   # target: at most 20 ms
"$bin/bench_nkq_quick"                  # targets: quick at most 0.7 s; 8 ports over 1 at most 1.10
"$bin/bench_firmware_upload" unpaced     # target: at most 100 us
"$bin/bench_firmware_upload" paced       # targets: at least 0.99; settle share under 0.005
"$bin/bench_firmware_upload" network     # target: at least 0.95
"$bin/bench_journal_record"              # target: under 5 ms
"$bin/bench_journal_listing"             # targets: every format under 50 MiB; stop under 1 s

cmake --build --preset bench --target nkq-workstation > /dev/null
# targets: at most 300 ms and 60 MiB from an empty folder and from 20,000 files,
# the two peaks within 5 MiB of each other
bench/window.sh build/bench/tools/workstation/nkq-workstation
