#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Times the headless trace tool over a flight that never ends: no gravity, the engine held,
# one million ticks, one dump at the end. Builds nothing; run it after building build/.
#
#   bench/trace_throughput.sh [RUNS]        (default 5 runs; the goal is a median of 2 s or less)
#
# Uses hyperfine when it is installed, otherwise times each run itself.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
trace="${VANDREL_TRACE:-$root/build/vandrel-trace}"
runs="${1:-5}"
[[ -x "$trace" ]] || { echo "trace_throughput: no $trace (build it first)" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf 'click mnuGNone\ndown 80\ndown 32\ntick 1000000\ndump\n' >"$work/flight.txt"

# The flight must really run all its ticks and still be flying at the end.
"$trace" <"$work/flight.txt" >"$work/out.jsonl"
last="$(tail -n 1 "$work/out.jsonl")"
for want in '"ticks":1000000,' '"EngineOn":true' '"GameOver":false' '"Timer1":true'; do
    if [[ "$last" != *"$want"* ]]; then
        echo "trace_throughput: the dump lacks $want:" >&2
        head -c 400 "$work/out.jsonl" >&2
        exit 1
    fi
done
if [[ "$(wc -l <"$work/out.jsonl")" -ne 1 ]]; then
    echo "trace_throughput: the flight wrote more than its dump:" >&2
    head -c 400 "$work/out.jsonl" >&2
    exit 1
fi

if command -v hyperfine >/dev/null; then
    hyperfine --warmup 1 --runs "$runs" --input "$work/flight.txt" --output null "$trace"
    exit 0
fi

python3 - "$trace" "$work/flight.txt" "$runs" <<'PY'
import statistics, subprocess, sys, time
trace, script, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
walls = []
for _ in range(runs):
    with open(script, "rb") as stdin:
        start = time.perf_counter()
        subprocess.run([trace], stdin=stdin, stdout=subprocess.DEVNULL, check=True)
        walls.append(time.perf_counter() - start)
median = statistics.median(walls)
print(f"vandrel-trace, 1,000,000 ticks in flight: median {median:.3f} s over {runs} runs "
      f"(min {min(walls):.3f}, max {max(walls):.3f}); "
      f"{median / 1e6 * 1e9:.0f} ns per tick; goal <= 2 s: {'met' if median <= 2 else 'MISSED'}")
PY
