#!/bin/sh
# SPDX-License-Identifier: MIT
# The same flights on a second architecture: the pinned flights marked for arm64
# (tests/flights/pinned.txt) replayed by vandrel-trace cross-built for arm64 under
# qemu-aarch64, and by the native build, each end as pinned and write the pinned bytes.
#
#   tests/trace/same_on_arm64.sh NATIVE_TRACE ARM64_TRACE
set -eu
. "$(dirname "$0")/../flights/pinned.sh"
native=$1
arm64=$2
built_dir=$(dirname "$native")/tests/flights
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

failed=0
for name in $(flight_names arm64); do
    flight_label="x86-64 "
    replay "$name" "$out/$name.x86-64" "$native" || failed=1
    flight_label="arm64  "
    replay "$name" "$out/$name.arm64" qemu-aarch64 -L /usr/aarch64-linux-gnu "$arm64" || failed=1
done
# The set must take the error path, or it proves nothing about it.
tail -n 1 "$out/overflow.arm64" | grep -qx '{"error":"Overflow"}' ||
    { echo "same_on_arm64: the overflow flight did not end in Overflow" >&2; failed=1; }
exit "$failed"
