#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures (when needed) and builds one of the presets, two jobs at a time.
#
#   scripts/build.sh play|default|ci|asan [TARGET...]
#
# Each preset has its own build folder (CMakePresets.json): build/ for default, build-NAME/
# for the others. A folder is configured when it has no cache yet or the presets changed
# since; after that cmake and make see for themselves what to redo.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

preset=${1:?usage: scripts/build.sh play|default|ci|asan [TARGET...]}
shift
case "$preset" in
    default) dir=build ;;
    play | ci | asan) dir=build-$preset ;;
    *) echo "build: unknown preset '$preset'" >&2; exit 2 ;;
esac

if [[ ! -f "$dir/CMakeCache.txt" || CMakePresets.json -nt "$dir/CMakeCache.txt" ]]; then
    cmake --preset "$preset"
fi

targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build --preset "$preset" -j2 "${targets[@]}"
