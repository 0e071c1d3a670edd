#!/bin/sh
# SPDX-License-Identifier: MIT
# Links the page's module with the command it is given, and fails when Asyncify says that a
# name in the list of the functions that may wait for a box matches nothing: a handler renamed
# or merged would otherwise leave a box that cannot wait, found only by a player.
said=$(mktemp) || exit 1
"$@" 2>"$said"
status=$?
cat "$said" >&2
if grep -q "non-matching pattern" "$said"; then
    echo "link_checked.sh: a name in web/CMakeLists.txt's list of functions that may wait matches nothing" >&2
    status=1
fi
rm -f "$said"
exit $status
