#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the game and writes docs/screenshot.png: its window at the start screen, taken
# under a private Xvfb (no window manager, so no frame: the menu bar and the scene); and the
# page, docs/phone.png: on a phone held sideways, with its on-screen controls.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/setup.sh test
if [[ "${CI:-}" == true ]]; then preset=ci dir=build-ci; else preset=default dir=build; fi
scripts/build.sh "$preset" vandrel
mkdir -p docs
python3 tests/e2e/screenshot.py "$dir/vandrel" docs/screenshot.png
echo "wrote docs/screenshot.png"
scripts/build.sh web
/usr/bin/python3 tests/e2e/screenshot.py --phone build-web/site docs/phone.png
echo "wrote docs/phone.png"
