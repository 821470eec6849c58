#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer and runs each for a bounded time (FUZZ_SECONDS,
# default 60). A crash, a leak, a timeout or a mismatch fails the run and
# leaves the input that caused it in build-fuzz/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-60}
build=$root/build-fuzz

cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

run() {  # target seed-folder max-length
    local target=$1 seeds=$root/fuzz/corpus/$2 work=$build/corpus/$2
    mkdir -p "$work"
    echo "Fuzzing $target for $seconds s"
    (cd "$build" && "./fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len="$3" -print_final_stats=1 "$work" "$seeds")
}
run report_reader_fuzzer report 131072
run number_writer_fuzzer number 8
echo "fuzzing: no crash, leak, timeout or mismatch"
