#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds everything and runs every test:
#   1. the build in build/ (warnings as errors under CI=true) and its tests; the widget
#      tests use Qt's offscreen platform, so no display is needed;
#   2. the window checks: the real game under a private Xvfb, driven by X key and mouse events,
#      and under a private sway (Wayland);
#   3. the same flights on arm64: vandrel-trace cross-built in build-arm64/ and run under
#      qemu-aarch64 must write what the x86-64 build writes, byte for byte;
#   4. the same two as 1 and 2 for the AddressSanitizer + UndefinedBehaviorSanitizer build in
#      build-asan/;
#   5. the fuzz targets, FUZZ_SECONDS (default 30) each, when fuzz/run.sh is there.
# First of all, every source file must carry the licence's SPDX line.
# Every stage runs even when an earlier one failed; the summary at the end names each stage,
# and the exit status is 1 when any failed.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD

if ! scripts/setup.sh test; then
    echo "test: the set-up failed; nothing was built or tested." >&2
    exit 1
fi
if [[ "${CI:-}" == true ]]; then preset=ci; else preset=default; fi

names=() results=() times=()
passed=0 failed=0 skipped=0

# stage NAME COMMAND...: runs one stage and records how it went.
stage() {
    local name=$1 start=$SECONDS
    shift
    printf '\n==== %s ====\n' "$name"
    if "$@"; then
        record "$name" passed "$((SECONDS - start))"
        return 0
    fi
    record "$name" FAILED "$((SECONDS - start))"
    return 1
}
record() {
    names+=("$1") results+=("$2") times+=("$3")
    case "$2" in passed) ((passed += 1)) ;; FAILED) ((failed += 1)) ;; *) ((skipped += 1)) ;; esac
}

# The widget tests must never open windows on the desktop of whoever runs this; the window
# checks start their own X server. LeakSanitizer reads its suppressions of what libraries
# under Qt keep for the whole process from scripts/lsan.supp. (No strict_string_checks:
# libxkbcommon rightly strndup()s names that are not NUL-terminated.)
offscreen=(env QT_QPA_PLATFORM=offscreen)
sanitizers=(env "ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
    "LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0")
ctest_args=(--output-on-failure --no-tests=error)

# suites PRESET DIR [ENV...]: builds one preset, then its tests and its window checks.
suites() {
    local preset=$1 dir=$2
    shift 2
    if stage "build ($preset preset, $dir/)" scripts/build.sh "$preset"; then
        stage "tests ($dir/)" "${offscreen[@]}" "$@" ctest --test-dir "$dir" -j2 -LE e2e "${ctest_args[@]}"
        stage "window checks under Xvfb and sway ($dir/)" "$@" ctest --test-dir "$dir" -L e2e "${ctest_args[@]}"
    else
        record "tests ($dir/)" "not run" 0
        record "window checks under Xvfb and sway ($dir/)" "not run" 0
    fi
}
stage "the licence line on every source file" scripts/check_spdx.sh
suites "$preset" build

# arm64_check: cross-builds the trace tool and compares its flights with build/'s.
arm64_check() {
    { [[ -f build-arm64/CMakeCache.txt ]] || cmake --preset arm64; } &&
        cmake --build --preset arm64 -j2 --target vandrel-trace &&
        tests/trace/same_on_arm64.sh build/vandrel-trace build-arm64/vandrel-trace
}
if [[ -x build/vandrel-trace ]]; then
    stage "the same flights on arm64 under qemu (build-arm64/)" arm64_check
else
    record "the same flights on arm64" "not run (no build/vandrel-trace)" 0
fi

suites asan build-asan "${sanitizers[@]}"

if [[ -f fuzz/run.sh ]]; then
    stage "fuzz targets, ${FUZZ_SECONDS:-30} s each" bash fuzz/run.sh "${FUZZ_SECONDS:-30}"
else
    record "fuzz targets" "not run (no fuzz/run.sh)" 0
fi

printf '\n==== summary ====\n'
for i in "${!names[@]}"; do
    case "${results[i]}" in
        "not run"*) printf '%-8s %5s   %s %s\n' skipped - "${names[i]}" "${results[i]#not run}" ;;
        *) printf '%-8s %5ss  %s\n' "${results[i]}" "${times[i]}" "${names[i]}" ;;
    esac
done
printf 'total %ss\n' "$SECONDS"
if ((skipped)); then
    echo "stages: $passed passed, $failed failed, $skipped skipped"
else
    echo "stages: $passed passed, $failed failed"
fi
((failed == 0))
