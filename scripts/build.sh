#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures (when needed) and builds one of the presets, two jobs at a time.
#
#   scripts/build.sh PRESET [TARGET...]
#
# PRESET is one of those `cmake --list-presets` lists, but package (dist/package.sh builds it).
# Each has its own build folder (CMakePresets.json): build/ for default, build-NAME/ for the
# others. A folder is configured when it has no cache yet or the presets changed since; after
# that cmake and make see for themselves what to redo.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

preset=${1:?usage: scripts/build.sh PRESET [TARGET...]}
shift
if [[ "$preset" == package ]] || ! cmake --list-presets | grep -q "^  \"$preset\" "; then
    echo "build: no preset '$preset' here (cmake --list-presets; dist/package.sh builds package)" >&2
    exit 2
fi
if [[ "$preset" == default ]]; then dir=build; else dir=build-$preset; fi

if [[ ! -f "$dir/CMakeCache.txt" || CMakePresets.json -nt "$dir/CMakeCache.txt" ]]; then
    cmake --preset "$preset"
fi

targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build --preset "$preset" -j2 "${targets[@]}"
