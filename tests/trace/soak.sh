#!/bin/sh
# SPDX-License-Identifier: MIT
# Ten million ticks, twice: both runs end well and write the same bytes, and those bytes are the
# pinned ones. The script lands on a pad, then after R drifts one way and then the other, so the
# terrain wraps on both sides and the stars on every edge.
set -eu
trace=$1
script=$2
# The SHA-256 of the whole output: the landing's box and every dump, the last one taken after
# ten million ticks. Any change of any bit of the game changes it; a change that is meant must
# say why in its commit, with the new value.
golden=9aa3f46d813f74802fba155cff5dff89a22db8b6e6a32c97b2f097a6f90a71e2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$trace" < "$script" > "$out/first"
"$trace" < "$script" > "$out/second"
cmp "$out/first" "$out/second"
head -n 1 "$out/first" | grep -q '"title":"Landed!"' || { echo "soak: no landing first" >&2; exit 1; }
# The last dump is taken after exactly ten million ticks, with the flight still on.
last=$(tail -n 1 "$out/first")
case "$last" in '{"ticks":10000000,'*) ;; *) echo "soak: no dump after 10,000,000 ticks" >&2; exit 1 ;; esac
case "$last" in *'"GameOver":true'*) echo "soak: the flight ended" >&2; exit 1 ;; esac
actual=$(sha256sum < "$out/first" | cut -d ' ' -f 1)
if [ "$actual" != "$golden" ]; then
    echo "soak: the output's SHA-256 is $actual, pinned $golden; the last dump:" >&2
    echo "$last" >&2
    exit 1
fi
echo "soak: 2 runs of 10,000,000 ticks, $(wc -l < "$out/first") identical lines, SHA-256 as pinned"
