#!/bin/sh
# SPDX-License-Identifier: MIT
# Ten million ticks, twice: both runs end well and write the same bytes, and those bytes are the
# pinned ones (tests/flights/pinned.txt). The flight lands on a pad, then after R drifts one way
# and then the other, so the terrain wraps on both sides and the stars on every edge.
#
#   tests/trace/soak.sh TRACE
set -eu
. "$(dirname "$0")/../flights/pinned.sh"
trace=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
replay soak "$out/first" "$trace"
"$trace" < "$(flight_script soak)" > "$out/second"
cmp "$out/first" "$out/second"
head -n 1 "$out/first" | grep -q '"title":"Landed!"' || { echo "soak: no landing first" >&2; exit 1; }
# The last dump is taken after exactly ten million ticks, with the flight still on.
last=$(tail -n 1 "$out/first")
case "$last" in '{"ticks":10000000,'*) ;; *) echo "soak: no dump after 10,000,000 ticks" >&2; exit 1 ;; esac
case "$last" in *'"GameOver":true'*) echo "soak: the flight ended" >&2; exit 1 ;; esac
echo "soak: 2 runs of 10,000,000 ticks, $(wc -l < "$out/first") identical lines, SHA-256 as pinned"
