#!/usr/bin/env bash
# Configures (when needed) and builds one of the presets, two jobs at a time.
#
#   scripts/build.sh default|ci|asan [TARGET...]
#
# default and ci share build/ and differ only in warnings as errors; switching between them
# reconfigures that one setting instead of starting over. Nothing is redone when nothing
# changed: cmake and make see that for themselves.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

preset=${1:?usage: scripts/build.sh default|ci|asan [TARGET...]}
shift
case "$preset" in
    default) dir=build werror=OFF ;;
    ci) dir=build werror=ON ;;
    asan) dir=build-asan werror=ON ;;
    *) echo "build: unknown preset '$preset'" >&2; exit 2 ;;
esac

cache="$dir/CMakeCache.txt"
if [[ ! -f "$cache" ]] || ! grep -qE "^VANDREL_WERROR:[A-Z]+=$werror\$" "$cache"; then
    cmake --preset "$preset" -DVANDREL_WERROR="$werror"
fi

targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build "$dir" -j2 "${targets[@]}"
