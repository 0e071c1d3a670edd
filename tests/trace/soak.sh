#!/bin/sh
# Ten million ticks, twice: both runs end well and write the same bytes. The flight drifts
# one way and then the other, so the terrain wraps on both sides and the stars on every edge.
set -eu
trace=$1
script=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$trace" < "$script" > "$out/first"
"$trace" < "$script" > "$out/second"
cmp "$out/first" "$out/second"
# The last dump is taken after exactly ten million ticks, with the flight still on.
tail -n 1 "$out/first" | grep -q '^{"ticks":10000000,' || { echo "soak: no dump after 10,000,000 ticks" >&2; exit 1; }
grep -q '"GameOver":true' "$out/first" && { echo "soak: the flight ended" >&2; exit 1; }
echo "soak: 2 runs of 10,000,000 ticks, $(wc -l < "$out/first") identical lines"
