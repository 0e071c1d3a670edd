#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Lists the source files (C++, Python, shell, CMake, the page's HTML, CSS and JavaScript) under version control whose first lines
# (after a shebang) lack the licence line "SPDX-License-Identifier: MIT"; exits 1 when any does.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

missing=0
while IFS= read -r file; do
    if ! head -n 2 "$file" | grep -q 'SPDX-License-Identifier: MIT'; then
        echo "no SPDX line: $file"
        missing=$((missing + 1))
    fi
done < <(git ls-files '*.cpp' '*.h' '*.py' '*.sh' 'CMakeLists.txt' '*/CMakeLists.txt' '*.cmake' '*.js' '*.html' '*.css' .ci/run)
if ((missing)); then
    echo "check_spdx: $missing file(s) lack the SPDX line" >&2
    exit 1
fi
echo "check_spdx: every source file carries the SPDX line"
