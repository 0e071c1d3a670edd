#!/bin/sh
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets with the fuzz preset and runs each one for SECONDS (30 unless
# given) from its seed corpus. New inputs go to a scratch folder, so the committed corpus
# stays as it is; a crashing input is kept in build-fuzz/ and the script fails.
set -eu
seconds=${1:-30}
cd "$(dirname "$0")/.."
cmake --preset fuzz >/dev/null
cmake --build build-fuzz -j2 --target fuzz_trace_script fuzz_game_events
for target in trace_script game_events; do
    scratch=$(mktemp -d)
    echo "fuzzing $target for ${seconds}s"
    dict=""
    if [ -f "fuzz/$target.dict" ]; then dict="-dict=fuzz/$target.dict"; fi
    status=0
    # shellcheck disable=SC2086 # $dict is one word or none
    "build-fuzz/fuzz_$target" $dict -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=8192 -print_final_stats=1 -artifact_prefix="build-fuzz/crash-$target-" \
        "$scratch" "fuzz/corpus/$target" || status=$?
    rm -rf "$scratch"
    if [ "$status" -ne 0 ]; then
        echo "fuzz_$target failed (status $status)" >&2
        exit "$status"
    fi
done
