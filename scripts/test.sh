#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds everything and runs every test:
#   1. the build in build/ (under CI=true the ci preset's, in build-ci/, with warnings as
#      errors) and its tests; the widget tests use Qt's offscreen platform, so no display is
#      needed;
#   2. the window checks: the real game under a private Xvfb, driven by X key and mouse events,
#      and under a private sway (Wayland);
#   3. the same flights on other CPUs: vandrel-trace built for each (cpus below) in
#      build-CPU/, run under qemu-user or, in WebAssembly, node, must write, byte for byte,
#      what the pinned flights pin, as the x86-64 build does (tests/flights/pinned.txt);
#   4. the web page: built in build-web/ and played in a private headless Chromium, the
#      native vandrel-trace replaying the flights it saves; then heard by Orca in Chromium
#      shown on a private Xvfb;
#   5. the same two as 1 and 2 for the AddressSanitizer + UndefinedBehaviorSanitizer build in
#      build-asan/;
#   6. the fuzz targets, FUZZ_SECONDS (default 30) each, when fuzz/run.sh is there.
# First of all, every source file must carry the licence's SPDX line, and every C++ file must
# be formatted as .clang-format says.
# Every stage runs even when an earlier one failed; the summary at the end names each stage,
# and the exit status is 1 when any failed.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD

if ! scripts/setup.sh test; then
    echo "test: the set-up failed; nothing was built or tested." >&2
    exit 1
fi
if [[ "${CI:-}" == true ]]; then preset=ci dir=build-ci; else preset=default dir=build; fi

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

# suites PRESET DIR [ENV...]: builds one preset, then runs its test preset: the tests, then
# the window checks.
suites() {
    local preset=$1 dir=$2
    shift 2
    if stage "build ($preset preset, $dir/)" scripts/build.sh "$preset"; then
        stage "tests ($dir/)" "${offscreen[@]}" "$@" ctest --preset "$preset" -LE e2e
        stage "window checks under Xvfb and sway ($dir/)" "$@" ctest --preset "$preset" -L e2e
    else
        record "tests ($dir/)" "not run" 0
        record "window checks under Xvfb and sway ($dir/)" "not run" 0
    fi
}
stage "the licence line on every source file" scripts/check_spdx.sh
stage "the formatting of every C++ file (clang-format)" scripts/check_format.sh
suites "$preset" "$dir"

# The other CPUs, each a preset that builds vandrel-trace alone in build-CPU/.
cpus=(arm64 i386 armhf riscv64 ppc64el s390x node)
# cross_check: builds the trace tool for every other CPU, then replays the pinned flights on
# each, side by side.
cross_check() {
    local cpu start
    for cpu in "${cpus[@]}"; do
        start=$SECONDS
        scripts/build.sh "$cpu" || return 1
        echo "cross: build-$cpu/ built in $((SECONDS - start)) s"
    done
    tests/trace/same_on_every_cpu.sh "$dir/vandrel-trace" "${cpus[@]/#/build-}"
}
if [[ -x "$dir/vandrel-trace" ]]; then
    stage "the same flights on ${cpus[*]} under qemu and node (build-CPU/)" cross_check
else
    record "the same flights on other CPUs" "not run (no $dir/vandrel-trace)" 0
fi

# page_check: builds the web page and plays it in headless Chromium (no display needed); the
# native trace tool replays the flights the page saves. Debian's own python3 has selenium.
page_built=false
page_check() {
    scripts/build.sh web && page_built=true &&
        VANDREL_SHOTS="$root/build-web/shots" /usr/bin/python3 tests/e2e/page_checks.py \
            build-web/site "$dir/vandrel-trace"
}
# page_heard: Orca hears the page in Chromium shown on a private Xvfb, under a private session
# bus; one Orca at a time, as the window's check has ended before.
page_heard() {
    dbus-run-session -- /usr/bin/python3 tests/e2e/accessibility_test.py build-web/site \
        "$(command -v orca || echo /usr/bin/orca)"
}
if [[ -x "$dir/vandrel-trace" ]]; then
    stage "the page in headless Chromium (build-web/)" page_check
else
    record "the page in headless Chromium" "not run (no $dir/vandrel-trace)" 0
fi
if [[ "$page_built" == true ]]; then
    stage "the page as Orca says it, in Chromium under Xvfb (build-web/)" page_heard
else
    record "the page as Orca says it" "not run (no page built)" 0
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
