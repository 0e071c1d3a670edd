#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Lists the C++ files under version control that clang-format (with the repository's
# .clang-format) would change; exits 1 when any would.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

if ! command -v clang-format >/dev/null; then
    echo "check_format: clang-format is not installed (scripts/setup.sh test installs it)" >&2
    exit 1
fi
unformatted=()
while IFS= read -r file; do
    if ! clang-format --dry-run --Werror "$file" 2>/dev/null; then
        echo "not formatted: $file (clang-format -i $file)"
        unformatted+=("$file")
    fi
done < <(git ls-files '*.cpp' '*.h')
if ((${#unformatted[@]})); then
    echo "check_format: ${#unformatted[@]} file(s) differ from clang-format's layout" >&2
    exit 1
fi
echo "check_format: every C++ file is formatted"
