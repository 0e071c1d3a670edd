#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing for playing (no test tools), builds the game and starts it. The
# game itself says plainly when the display it is given does not answer.
#
#   scripts/run.sh          the game in its window
#   scripts/run.sh --web    the game as a web page, served on http://127.0.0.1:8000/ (PORT to
#                           change it) and opened in the default browser where there is one
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

if [[ "${1:-}" == --web ]]; then
    scripts/setup.sh web
    scripts/build.sh web
    address="http://127.0.0.1:${PORT:-8000}/"
    echo "Vandrel is at $address (build-web/site/; Ctrl+C stops the server)"
    if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]] && command -v xdg-open >/dev/null; then
        (sleep 1 && xdg-open "$address" >/dev/null 2>&1) &
    fi
    exec python3 -m http.server "${PORT:-8000}" --bind 127.0.0.1 --directory build-web/site
elif [[ $# -gt 0 ]]; then
    echo "usage: scripts/run.sh [--web]" >&2
    exit 2
fi

scripts/setup.sh play
scripts/build.sh play vandrel

no_session() {
    echo >&2
    echo "Vandrel is built (build-play/vandrel), but there is no graphical session to show it in:" >&2
    echo "  $1" >&2
    echo "Run ./scripts/run.sh again from a terminal on your desktop (or over ssh -X)." >&2
    echo "The tests need no display: ./scripts/test.sh brings its own." >&2
    exit 1
}

# A platform chosen by hand (QT_QPA_PLATFORM, e.g. offscreen) is the user's business.
if [[ -z "${QT_QPA_PLATFORM:-}" ]]; then
    if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
        no_session "neither DISPLAY nor WAYLAND_DISPLAY is set."
    fi
    # Without Qt's Wayland plugin the window talks to X, on a Wayland desktop through XWayland.
    if [[ -z "${DISPLAY:-}" ]] && ! compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland*" >/dev/null; then
        no_session "WAYLAND_DISPLAY is set but DISPLAY is not (no XWayland), and qt6-wayland is not installed."
    fi
fi

exec build-play/vandrel
