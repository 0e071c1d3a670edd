#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package: a release build configured as the `package` preset does (with
# Debian's hardening flags when dpkg-buildflags is there), then cpack. Prints the package's path.
#
#   dist/package.sh [BUILD_DIR]            (default: build-deb)
#   dist/package.sh --check [BUILD_DIR]    and checks it: its file list, its control fields,
#                                          lintian, appstreamcli and desktop-file-validate
set -euo pipefail
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
check=false
if [[ "${1:-}" == --check ]]; then check=true; shift; fi
build_dir=$(realpath -m "${1:-$source_dir/build-deb}")

if command -v dpkg-buildflags >/dev/null; then
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
    export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
fi
cmake --preset package -S "$source_dir" -B "$build_dir" >/dev/null
cmake --build "$build_dir" -j2 >/dev/null
(cd "$build_dir" && rm -f ./*.deb && cpack -G DEB >/dev/null)
deb=$(ls "$build_dir"/*.deb)
echo "$deb"
$check || exit 0

failures=0
fail() {
    echo "package: $*" >&2
    failures=$((failures + 1))
}

# Every file the package installs, and nothing else.
app=io.github.vandrel.Vandrel
expected=(
    /usr/games/vandrel
    /usr/share/applications/$app.desktop
    /usr/share/doc/vandrel/changelog.gz
    /usr/share/doc/vandrel/copyright
)
for size in 16 32 48 64 128 256; do
    expected+=("/usr/share/icons/hicolor/${size}x$size/apps/$app.png")
done
expected+=(
    /usr/share/icons/hicolor/scalable/apps/$app.svg
    /usr/share/man/man6/vandrel.6.gz
    /usr/share/metainfo/$app.metainfo.xml
)
actual=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./|/|' | sort)
if [[ "$actual" != "$(printf '%s\n' "${expected[@]}" | sort)" ]]; then
    fail "the file list differs from the expected one:"
    diff <(printf '%s\n' "${expected[@]}" | sort) <(echo "$actual") >&2 || true
fi

field() { dpkg-deb --field "$deb" "$1"; }
[[ "$(field Package)" == vandrel ]] || fail "Package is '$(field Package)'"
[[ "$(field Version)" == 1.00 ]] || fail "Version is '$(field Version)'"
[[ "$(field Section)" == games ]] || fail "Section is '$(field Section)'"
[[ "$(field Depends)" == *libqt6widgets6* ]] || fail "Depends lacks Qt: '$(field Depends)'"

# The installed files themselves: the game starts from its installed path, and the desktop
# entry and metainfo pass their validators.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb --extract "$deb" "$root"
version=$("$root/usr/games/vandrel" --version) || fail "the installed game's --version failed"
[[ "$version" == "Vandrel 1.00" ]] || fail "the installed game's --version said '$version'"
file "$root/usr/games/vandrel" | grep -q ', stripped' || fail "the game is not stripped"
desktop-file-validate "$root/usr/share/applications/$app.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app.metainfo.xml" ||
    fail "appstreamcli validate"

# lintian: no error and no warning; its notes are printed for the record.
lintian --info --display-level '>=pedantic' --fail-on error,warning "$deb" || fail "lintian"

if ((failures)); then
    echo "package: $failures check(s) failed for $deb" >&2
    exit 1
fi
echo "package: $deb passes every check ($(du -k "$deb" | cut -f1) KiB)"
