#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Vandrel need, and only
# those that are missing: with everything in place it returns at once, without apt-get.
set -euo pipefail

PACKAGES=(
    cmake g++ make                                  # the build
    qt6-base-dev libxcb1-dev                        # the window
    googletest libgtest-dev libbenchmark-dev        # tests and benchmarks
    clang libclang-rt-14-dev                        # the fuzz targets
    valgrind clang-format
    python3 xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core  # window checks
    python3-mpmath                                  # proof of the sine and cosine table
    g++-aarch64-linux-gnu qemu-user                 # the same flights on arm64
)

missing=()
for package in "${PACKAGES[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null || true)
    [[ "$status" == ii* ]] || missing+=("$package")
done
if ((${#missing[@]} == 0)); then
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

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update
"${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
