#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that Vandrel needs, and only those that are missing: with
# everything in place it returns at once, without apt-get.
#
#   scripts/setup.sh play    building and running the game (scripts/run.sh)
#   scripts/setup.sh web     building the web page and serving it (scripts/run.sh --web)
#   scripts/setup.sh [test]  all of that, and everything the tests need (scripts/test.sh)
set -euo pipefail

# One package a line, so that additions merge cleanly.
PLAY_PACKAGES=(
    cmake g++ make   # the build
    qt6-base-dev     # the window
    libxcb1-dev      # the X server draws the scene
    libxcb-xkb-dev   # keys without delay: XKB's detectable auto-repeat
    libxcb-render0-dev  # the server blends the labels' texts
    qt6-wayland      # native Wayland; without it, XWayland
    libwayland-dev pkgconf  # on Wayland, asking the compositor whether it draws window frames
    qt6-base-private-dev    # on Wayland, the scene in a surface of its own
)
WEB_PACKAGES=(
    cmake make       # the build
    emscripten       # the core in WebAssembly (with node to run its tools)
    python3          # a local web server
)
TEST_PACKAGES=(
    googletest libgtest-dev libbenchmark-dev  # tests and benchmarks
    clang libclang-rt-14-dev                  # the fuzz targets
    valgrind clang-format
    python3 xvfb xauth fonts-dejavu-core                                # window checks under X11
    python3-xlib                                                        # window checks and benchmark: X input
    sway wtype grim                                                     # window checks under Wayland
    chromium chromium-driver python3-selenium                           # the page's checks
    locales                                                             # readouts under other desktop locales
    dbus-daemon at-spi2-core python3-pyatspi gir1.2-atspi-2.0           # the accessibility check
    orca speech-dispatcher                                              # the accessibility check: what Orca says
    dpkg-dev lintian appstream desktop-file-utils file                  # the package check
    python3-mpmath                                                      # proof of the sine and cosine table
    qemu-user                  # the same flights on other CPUs: the emulator,
    g++-aarch64-linux-gnu      # arm64,
    g++-i686-linux-gnu         # i386,
    g++-arm-linux-gnueabihf    # armhf,
    g++-riscv64-linux-gnu      # riscv64,
    g++-powerpc64le-linux-gnu  # ppc64el,
    g++-s390x-linux-gnu        # s390x,
    nodejs                     # and WebAssembly (emscripten: the web packages) under node
)
# The locales the readout tests run the window under (C.UTF-8 is built in).
LOCALES=(de_DE.UTF-8 fr_FR.UTF-8)

case "${1:-test}" in
    play) PACKAGES=("${PLAY_PACKAGES[@]}") ;;
    web) PACKAGES=("${WEB_PACKAGES[@]}") ;;
    test) PACKAGES=("${PLAY_PACKAGES[@]}" "${WEB_PACKAGES[@]}" "${TEST_PACKAGES[@]}") ;;
    *) echo "usage: scripts/setup.sh [play|web|test]" >&2; exit 2 ;;
esac

missing=()
for package in "${PACKAGES[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null || true)
    [[ "$status" == ii* ]] || missing+=("$package")
done
# A locale counts as there when `locale -a` lists it (as de_DE.utf8).
missing_locales=()
for name in "${LOCALES[@]}"; do
    listed=${name%.UTF-8}.utf8
    locale -a 2>/dev/null | grep -qx "$listed" || missing_locales+=("$name")
done
if ((${#missing[@]} == 0 && ${#missing_locales[@]} == 0)); then
    exit 0
fi

if ! command -v apt-get >/dev/null; then
    echo "setup: apt-get not found: Vandrel's set-up expects Debian 12 (bookworm)." >&2
    echo "setup: install these packages by hand: ${missing[*]}" >&2
    exit 1
fi
if ((EUID == 0)); then
    as_root=()
elif command -v sudo >/dev/null; then
    # Without a terminal sudo cannot ask for a password: fail at once instead of hanging.
    if [[ -t 0 ]]; then as_root=(sudo); else as_root=(sudo -n); fi
else
    echo "setup: these packages are missing: ${missing[*]}" >&2
    echo "setup: installing them needs root, and sudo is not installed. Run as root:" >&2
    echo "    apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
fi

if ((${#missing[@]} > 0)); then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${as_root[@]}" apt-get update
    "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
if ((${#missing_locales[@]} > 0)); then
    echo "setup: generating the locales ${missing_locales[*]}"
    for name in "${missing_locales[@]}"; do
        # Enable the locale's line in /etc/locale.gen (or add it), then build what is missing.
        "${as_root[@]}" sed -i "s/^# *\($name UTF-8\)\$/\1/" /etc/locale.gen
        grep -qx "$name UTF-8" /etc/locale.gen ||
            echo "$name UTF-8" | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
    done
    "${as_root[@]}" locale-gen --keep-existing
fi
