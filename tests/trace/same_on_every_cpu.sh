#!/bin/sh
# SPDX-License-Identifier: MIT
# The same flights on every CPU: vandrel-trace built for other CPUs replays the pinned flights
# marked for each (tests/flights/pinned.txt), and so does the native build; every replay must
# end as pinned and write the pinned bytes. A build folder's cache names the emulator its
# trace tool runs under (qemu-user, node). The flights run side by side, one a core.
#
#   tests/trace/same_on_every_cpu.sh NATIVE_TRACE BUILD_DIR...
#
# Each BUILD_DIR is a preset's folder, build-CPU (build-arm64, build-node, ...).
set -eu
. "$(dirname "$0")/../flights/pinned.sh"

# --flight OUT NATIVE_TRACE CPU NAME BUILD_DIR: one flight on one CPU, its report in
# OUT/NAME.CPU.log; run side by side by xargs below.
if [ "$1" = --flight ]; then
    out=$2 cpu=$4 name=$5 dir=$6
    built_dir=$(dirname "$3")/tests/flights
    emulator=$(sed -n 's/^CMAKE_CROSSCOMPILING_EMULATOR:[A-Z]*=//p' "$dir/CMakeCache.txt" | tr ';' ' ')
    trace=$dir/vandrel-trace
    [ -f "$trace" ] || trace=$trace.js  # WebAssembly: the module's JavaScript loader
    flight_label=$(printf '%-8s' "$cpu")
    # shellcheck disable=SC2086 # the emulator's words
    if replay "$name" "$out/$name.$cpu" $emulator "$trace" > "$out/$name.$cpu.log" 2>&1; then
        exit 0
    fi
    # Where it parted from the native build.
    cmp "$out/$name.x86-64" "$out/$name.$cpu" >> "$out/$name.$cpu.log" 2>&1 || true
    exit 1
fi

native=$1
shift
built_dir=$(dirname "$native")/tests/flights
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

failed=0
for dir; do
    cpu=${dir##*build-}
    for name in $(flight_names "$cpu"); do echo "$cpu $name $dir"; done
done > "$out/jobs"
flight_label="x86-64  "
for name in $(cut -d ' ' -f 2 "$out/jobs" | sort -u); do
    replay "$name" "$out/$name.x86-64" "$native" || failed=1
done
xargs -P "$(nproc)" -n 3 sh "$0" --flight "$out" "$native" < "$out/jobs" || failed=1
while read -r cpu name dir; do cat "$out/$name.$cpu.log"; done < "$out/jobs"
# Every CPU must take the error path, or the set proves nothing about it there.
for dir; do
    cpu=${dir##*build-}
    tail -n 1 "$out/overflow.$cpu" 2>/dev/null | grep -qx '{"error":"Overflow"}' ||
        { echo "same_on_every_cpu: on $cpu the overflow flight did not end in Overflow" >&2; failed=1; }
done
exit "$failed"
