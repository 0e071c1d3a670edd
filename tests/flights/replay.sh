#!/bin/sh
# SPDX-License-Identifier: MIT
# Replays one pinned flight and compares it with its pinned exit status and SHA-256.
#
#   tests/flights/replay.sh TRACE NAME
set -eu
. "$(dirname "$0")/pinned.sh"
built_dir=$(dirname "$1")/tests/flights
out=$(mktemp)
trap 'rm -f "$out"' EXIT
replay "$2" "$out" "$1"
