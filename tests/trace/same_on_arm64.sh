#!/bin/sh
# SPDX-License-Identifier: MIT
# The same flights on a second architecture: vandrel-trace cross-built for arm64 and run under
# qemu-aarch64 writes, byte for byte, what the x86-64 build writes, and ends the same way.
#
#   tests/trace/same_on_arm64.sh NATIVE_TRACE ARM64_TRACE
set -eu
native=$1
arm64=$2
here=$(dirname "$0")
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The Overflow path, written here rather than kept: 640,000 thrust steps with the limiter off,
# then one sideways burn throws the scenery past the terrain wrap's 16-bit range.
{
    echo "click mnuTOff"
    yes "down 38" | head -n 640000
    printf 'down 37\ndown 80\ntick 24\nup 37\ndown 32\ntick 5000\ndump\n'
} > "$out/overflow_flight.txt"

failed=0
for flight in "$here/memcheck_flight.txt" "$here/landings_flight.txt" \
    "$here/burns_flight.txt" "$out/overflow_flight.txt"; do
    name=$(basename "$flight" .txt)
    native_status=0
    "$native" < "$flight" > "$out/$name.x86-64" || native_status=$?
    arm64_status=0
    qemu-aarch64 -L /usr/aarch64-linux-gnu "$arm64" < "$flight" > "$out/$name.arm64" ||
        arm64_status=$?
    if [ "$native_status" != "$arm64_status" ]; then
        echo "same_on_arm64: $name: exit status $arm64_status on arm64, $native_status on x86-64" >&2
        failed=1
    elif ! cmp "$out/$name.x86-64" "$out/$name.arm64"; then
        failed=1
    else
        echo "same_on_arm64: $name: status $native_status, $(wc -l < "$out/$name.x86-64") identical lines"
    fi
done
# The set must take the error path, or it proves nothing about it.
tail -n 1 "$out/overflow_flight.x86-64" | grep -qx '{"error":"Overflow"}' ||
    { echo "same_on_arm64: the overflow flight did not end in Overflow" >&2; failed=1; }
exit "$failed"
