#!/usr/bin/env bash
# Packs the Debian package from the test build (scripts/build.sh builds it with
# the package's flags), as scripts/package packs its own build: every time in
# it is the changelog's date by default. cpack packs into pack/ of the tests'
# folder and builds nothing. The other package tests take these packages.
. "$(dirname "$0")/package_common.sh"
rm -rf "$work" && mkdir -p "$work/pack"
chmod 755 "$work"
unset SOURCE_DATE_EPOCH
(cd "$build" && cpack -B "$work/pack" >"$work/cpack.log")
packed
echo "package: $deb"
dpkg-deb -f "$deb" Depends
check "the program package and its -dbgsym package" '[ -s "$deb" ] && [ -s "$dbgsym" ]'
finish
