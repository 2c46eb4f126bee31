#!/usr/bin/env bash
# What the package holds, unpacked into a folder of this test's own: its files
# and their metadata, how a desktop takes its label files, the programs'
# hardening and debugging data, lintian's findings, and the same bytes when
# packed again.
. "$(dirname "$0")/package_common.sh"
packed
here="$work/contents"
rm -rf "$here" && mkdir -p "$here"
cleanup() { kill ${lintian_pid:-} ${lintian_dbgsym_pid:-} 2>/dev/null || true; }
trap cleanup EXIT
# lintian reads both packages while the rest is looked at.
lintian --display-info "$deb" >"$here/lintian.log" 2>&1 &
lintian_pid=$!
lintian "$dbgsym" >"$here/lintian-dbgsym.log" 2>&1 &
lintian_dbgsym_pid=$!

# Packed again later, every packaged file of the build folder given another
# time first, and its own time back afterwards (make goes by them).
packaged=("$build"/tessary-{utility,print,register} "$build"/{man,doc}/*)
mkdir "$here/times" && for file in "${packaged[@]}"; do touch -r "$file" "$here/times/${file//\//_}"; done
touch -d 2001-02-03 "${packaged[@]}"
(cd "$build" && cpack -B "$here/repack" >"$here/cpack-again.log")
for file in "${packaged[@]}"; do touch -r "$here/times/${file//\//_}" "$file"; done
check "packed again: the same bytes" 'cmp "$deb" "$here/repack/${deb##*/}" && cmp "$dbgsym" "$here/repack/${dbgsym##*/}"'

root="$here/root"
dpkg-deb -x "$deb" "$root"
program="$root/usr/bin/tessary-utility"
desktop="$root/usr/share/applications/tessary-utility.desktop"
check "program in $root/usr/bin" '[ -x "$program" ]'
check "desktop entry" '[ -f "$desktop" ]'
if command -v desktop-file-validate >/dev/null; then
  check "desktop entry validates" 'desktop-file-validate "$desktop"'
fi
check "desktop entry name" 'grep -qx "Name=Tessary Utility" "$desktop"'
check "desktop entry keywords" 'grep -q "^Keywords=.*barcode" "$desktop"'
gate_desktop="$root/usr/share/applications/tessary-gate.desktop"
check "gate's desktop entry" '[ -f "$gate_desktop" ] && grep -qx "Exec=tessary-gate" "$gate_desktop"'
if command -v desktop-file-validate >/dev/null; then
  check "gate's desktop entry validates" 'desktop-file-validate "$gate_desktop"'
fi
check "icon" '[ -s "$root/usr/share/icons/hicolor/scalable/apps/tessary-utility.svg" ]'
for size in 48 128 256; do
  check "${size}x${size} icon" 'file "$root/usr/share/icons/hicolor/${size}x${size}/apps/tessary-utility.png" | grep -q "PNG image data, $size x $size"'
done
metainfo="$root/usr/share/metainfo/org.tessary.utility.metainfo.xml"
check "AppStream metadata validates" 'appstreamcli validate --no-net "$metainfo"'
check "AppStream provides every program of the package" \
  '[ "$(dpkg-deb -c "$deb" | sed -n "s|.* \./usr/bin/\(..*\)|\1|p" | sort)" = "$(sed -n "s|.*<binary>\(.*\)</binary>.*|\1|p" "$metainfo" | sort)" ]'
# The label file type and the desktop entry as a desktop finds them, from a
# data folder of the test's own. X-Generic asks File::MimeInfo, GNOME asks GIO.
xdg="$here/xdg"
mkdir -p "$xdg/mime/packages" "$xdg/applications" && cp "$desktop" "$xdg/applications/"
cp "$root/usr/share/mime/packages/tessary-utility.xml" "$xdg/mime/packages/"
update-mime-database "$xdg/mime" >"$here/update-mime-database.log" 2>&1 && update-desktop-database "$xdg/applications"
xdg_query() { env -i PATH=/usr/bin:/bin HOME="$xdg" XDG_DATA_HOME="$xdg/home" XDG_DATA_DIRS="$xdg:/usr/share" \
  XDG_CURRENT_DESKTOP="$1" xdg-mime query "${@:2}"; }
while read -r name bytes type; do
  printf "$bytes" >"$here/$name"
  for kind in X-Generic GNOME; do check "$kind: $name is $type" '[ "$(xdg_query $kind filetype "$here/$name")" = "$type" ]'; done
done <<'FILES'
day.lbl    [Barcode]\r\nCols=3\r\n                           application/x-tessary-label
day        [Barcode]\r\nCols=3\r\n                           application/x-tessary-label
notepad    \xff\xfe[\0B\0a\0r\0c\0o\0d\0e\0]\0\r\0\n\0   application/x-tessary-label
notes.txt  Cols=3\n                                        text/plain
FILES
check "label files open in the window" '[ "$(xdg_query X-Generic default application/x-tessary-label)" = tessary-utility.desktop ]'
doc="$root/usr/share/doc/$package"
check "copyright and changelog" '[ -s "$doc/copyright" ] && gzip -t "$doc/changelog.gz"'
check "window's man page" 'gzip -t "$root/usr/share/man/man1/tessary-utility.1.gz"'
check "gate's man page" 'gzip -t "$root/usr/share/man/man1/tessary-gate.1.gz"'
check "the gate's --help and --version need no display" \
  'env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/tessary-gate" --version | grep -q "^tessary-gate [0-9]"'
check "the window's --help and --version need no display" \
  'env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --version | grep -q "^tessary-utility [0-9]" &&
   env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help | grep -q "^Usage: "'
check "maintainer is a project address" '! dpkg-deb -f "$deb" Maintainer | grep -q "@localhost"'
size=$(stat -c %s "$deb")
echo "package size: $size bytes; installed: $(dpkg-deb -f "$deb" Installed-Size) KiB"
check "package under 1.5 MB" '[ "$size" -lt 1500000 ]'
dpkg-deb -x "$dbgsym" "$here/dbgsym"
# The sections of the -dbgsym package's file that the program's build id names.
debug_file_sections() {
  local id; id=$(readelf -n "$1" | sed -n 's/.*Build ID: //p')
  readelf -S "$here/dbgsym/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug" 2>/dev/null
}
check "package built with fortify and stack protector" \
  'grep -q -- "-D_FORTIFY_SOURCE=2.*-fstack-protector-strong" "$build/CMakeFiles/tessary-print.dir/flags.make"'
# Read into variables first: grep -q ending a pipe early would fail it under pipefail.
hardened() {
  local kind dynamic segments symbols
  kind=$(file "$1"); dynamic=$(readelf -d "$1"); segments=$(readelf -lW "$1"); symbols=$(readelf -sW --dyn-syms "$1")
  [[ $kind == *", stripped"* && $dynamic == *BIND_NOW* && $segments == *GNU_RELRO* && $symbols == *__stack_chk_fail* ]]
}
for binary in tessary-utility tessary-print tessary-register tessary-gate; do
  check "$binary stripped, relro, bindnow, stack protector" 'hardened "$root/usr/bin/$binary"'
  check "$binary's debugging data in the -dbgsym package" '[[ $(debug_file_sections "$root/usr/bin/$binary") == *.debug_info* ]]'
done

wait "$lintian_pid" "$lintian_dbgsym_pid" || true
echo "--- lintian:"; grep -v "^running with root privileges" "$here/lintian.log" || true
check "lintian: no errors, no warnings" '! grep -qE "^[EW]: " "$here/lintian.log"'
check "lintian on the -dbgsym package: no errors, no warnings" '! grep -qE "^[EW]: " "$here/lintian-dbgsym.log"'
finish
