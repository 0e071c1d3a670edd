#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures (when needed) and builds one of the presets, two jobs at a time.
#
#   scripts/build.sh play|default|ci|asan [TARGET...]
#
# play, default and ci share build/: play leaves out the tests and benchmarks (nothing of
# GoogleTest or Google Benchmark is needed), ci makes warnings errors. Switching between them
# reconfigures those settings instead of starting over. Nothing is redone when nothing
# changed: cmake and make see that for themselves.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

preset=${1:?usage: scripts/build.sh play|default|ci|asan [TARGET...]}
shift
case "$preset" in
    play) dir=build settings=(VANDREL_WERROR=OFF VANDREL_TESTS=OFF VANDREL_BENCH=OFF) ;;
    default) dir=build settings=(VANDREL_WERROR=OFF VANDREL_TESTS=ON VANDREL_BENCH=ON) ;;
    ci) dir=build settings=(VANDREL_WERROR=ON VANDREL_TESTS=ON VANDREL_BENCH=ON) ;;
    asan) dir=build-asan settings=(VANDREL_WERROR=ON) ;;
    *) echo "build: unknown preset '$preset'" >&2; exit 2 ;;
esac

cache="$dir/CMakeCache.txt"
for setting in "${settings[@]}"; do
    if [[ ! -f "$cache" ]] || ! grep -qE "^${setting%%=*}:[A-Z]+=${setting#*=}\$" "$cache"; then
        cmake --preset "$preset" "${settings[@]/#/-D}"
        break
    fi
done

targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build "$dir" -j2 "${targets[@]}"
