#!/usr/bin/env bash
# Packs the Debian package from the test build, checks its contents and dependencies, and tries
# the packaged program the way a user gets it: an unprivileged user with a
# fresh home starts it under Xvfb and prints one sheet through a CUPS
# scheduler of the test's own; the printed PDF's barcodes are scanned.
#
# The package is installed with dpkg (and removed again) only when CI is set
# and the package is not installed already; otherwise it is unpacked into a
# folder of the test's own and run from there. Exit 77 means skipped.
set -euo pipefail
src="$1"
build="$2"
work="$3"
queue=PDF
quantity=6
lane=07
user=nobody
package=tessary-utility
cups_script="$src/tests/support/private_cups.sh"

if [ "$(id -u)" -ne 0 ]; then echo "SKIP: starting a private scheduler and switching users needs root"; exit 77; fi
for tool in dpkg dpkg-deb cpack xvfb-run xdotool xwininfo zbarimg pdftoppm runuser python3 lintian appstreamcli \
  desktop-file-validate dpkg-buildflags dpkg-parsechangelog update-mime-database update-desktop-database xdg-mime \
  mimetype gio; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
bash "$cups_script" check || exit 77
# The package holds the programs of the test build: built with its flags.
for flag in TESSARY_HARDENING:BOOL=ON TESSARY_DEBUG_SYMBOLS_PACKAGE:BOOL=ON; do
  grep -qx "$flag" "$build/CMakeCache.txt" ||
    { echo "SKIP: $build is not configured with the package's flags ($flag; scripts/build.sh configures it so)"; exit 77; }
done
id "$user" >/dev/null 2>&1 || { echo "SKIP: no user $user to run the program as"; exit 77; }

installed_before=$(dpkg-query -W -f='${Status} ${Version}' "$package" 2>/dev/null || true)
if [ -n "${CI:-}" ] && ! grep -q 'install ok installed' <<<"$installed_before"; then
  mode=dpkg
  root=""
  echo "CI is set and $package is not installed: installing it with dpkg -i, removing it afterwards"
else
  mode=unpacked
  if [ -z "${CI:-}" ]; then why="CI is not set"; else why="$package is already installed ($installed_before)"; fi
  echo "$why: not installing; unpacking the package with dpkg-deb -x and running the program from there"
fi

rm -rf "$work" && mkdir -p "$work"
chmod 755 "$work"
[ "$mode" = unpacked ] && root="$work/root"
cups_dir=$(mktemp -d /tmp/tessary-cups-XXXXXX)
installed=no
cleanup() {
  kill ${lintian_pid:-} ${lintian_dbgsym_pid:-} 2>/dev/null || true
  if [ "$installed" = yes ]; then dpkg -r "$package" >/dev/null 2>&1 || true; fi
  bash "$cups_script" stop "$cups_dir" || true
  rm -rf "$cups_dir"
}
trap cleanup EXIT

# The package of the test build's programs, as scripts/package packs its
# own build: every time in it is the changelog's date by default. cpack packs
# into a folder of the test's own and builds nothing.
unset SOURCE_DATE_EPOCH
(cd "$build" && cpack -B "$work/pack" >"$work/cpack.log")
deb=$(ls "$work"/pack/tessary-utility_*.deb)
dbgsym=$(ls "$work"/pack/tessary-utility-dbgsym_*.deb)
echo "package: $deb"
dpkg-deb -f "$deb" Depends

fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; fail=1; fi; }
# Packed again later, every packaged file of the build folder given another
# time first, and its own time back afterwards (make goes by them).
mkdir "$work/first" && cp "$deb" "$dbgsym" "$work/first/"
packaged=("$build"/tessary-{utility,print,register} "$build"/{man,doc}/*)
mkdir "$work/times" && for file in "${packaged[@]}"; do touch -r "$file" "$work/times/${file//\//_}"; done
touch -d 2001-02-03 "${packaged[@]}"
(cd "$build" && cpack -B "$work/pack" >"$work/cpack-again.log")
for file in "${packaged[@]}"; do touch -r "$work/times/${file//\//_}" "$file"; done
check "packed again: the same bytes" 'cmp "$deb" "$work/first/${deb##*/}" && cmp "$dbgsym" "$work/first/${dbgsym##*/}"'
# lintian reads both packages while the rest is tried; its findings are
# checked at the end.
lintian --display-info "$deb" >"$work/lintian.log" 2>&1 &
lintian_pid=$!
lintian "$dbgsym" >"$work/lintian-dbgsym.log" 2>&1 &
lintian_dbgsym_pid=$!

if [ "$mode" = dpkg ]; then
  dpkg -i "$deb" >"$work/dpkg.log"
  installed=yes
else
  dpkg-deb -x "$deb" "$root"
fi
program="$root/usr/bin/tessary-utility"
desktop="$root/usr/share/applications/tessary-utility.desktop"
check "program in $root/usr/bin" '[ -x "$program" ]'
check "desktop entry" '[ -f "$desktop" ]'
if command -v desktop-file-validate >/dev/null; then
  check "desktop entry validates" 'desktop-file-validate "$desktop"'
fi
check "desktop entry name" 'grep -qx "Name=Tessary Utility" "$desktop"'
check "desktop entry keywords" 'grep -q "^Keywords=.*barcode" "$desktop"'
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
xdg="$work/xdg"
mkdir -p "$xdg/mime/packages" "$xdg/applications" && cp "$desktop" "$xdg/applications/"
cp "$root/usr/share/mime/packages/tessary-utility.xml" "$xdg/mime/packages/"
update-mime-database "$xdg/mime" >"$work/update-mime-database.log" 2>&1 && update-desktop-database "$xdg/applications"
xdg_query() { env -i PATH=/usr/bin:/bin HOME="$xdg" XDG_DATA_HOME="$xdg/home" XDG_DATA_DIRS="$xdg:/usr/share" \
  XDG_CURRENT_DESKTOP="$1" xdg-mime query "${@:2}"; }
while read -r name bytes type; do
  printf "$bytes" >"$work/$name"
  for kind in X-Generic GNOME; do check "$kind: $name is $type" '[ "$(xdg_query $kind filetype "$work/$name")" = "$type" ]'; done
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
check "the window's --help and --version need no display" \
  'env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --version | grep -q "^tessary-utility [0-9]" &&
   env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help | grep -q "^Usage: "'
check "maintainer is a project address" '! dpkg-deb -f "$deb" Maintainer | grep -q "@localhost"'
size=$(stat -c %s "$deb")
echo "package size: $size bytes; installed: $(dpkg-deb -f "$deb" Installed-Size) KiB"
check "package under 1.5 MB" '[ "$size" -lt 1500000 ]'
dpkg-deb -x "$dbgsym" "$work/dbgsym"
# The sections of the -dbgsym package's file that the program's build id names.
debug_file_sections() {
  local id; id=$(readelf -n "$1" | sed -n 's/.*Build ID: //p')
  readelf -S "$work/dbgsym/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug" 2>/dev/null
}
check "package built with fortify and stack protector" \
  'grep -q -- "-D_FORTIFY_SOURCE=2.*-fstack-protector-strong" "$build/CMakeFiles/tessary-print.dir/flags.make"'
# Read into variables first: grep -q ending a pipe early would fail it under pipefail.
hardened() {
  local kind dynamic segments symbols
  kind=$(file "$1"); dynamic=$(readelf -d "$1"); segments=$(readelf -lW "$1"); symbols=$(readelf -sW --dyn-syms "$1")
  [[ $kind == *", stripped"* && $dynamic == *BIND_NOW* && $segments == *GNU_RELRO* && $symbols == *__stack_chk_fail* ]]
}
for binary in tessary-utility tessary-print tessary-register; do
  check "$binary stripped, relro, bindnow, stack protector" 'hardened "$root/usr/bin/$binary"'
  check "$binary's debugging data in the -dbgsym package" '[[ $(debug_file_sections "$root/usr/bin/$binary") == *.debug_info* ]]'
done

# The scheduler, stopped by its process id on the way out (or by its watch
# when this script is killed).
bash "$cups_script" start "$cups_dir" --watch $$ >/dev/null
bash "$cups_script" add-queue "$cups_dir" "$queue"
bash "$cups_script" set-default "$cups_dir" "$queue"
outdir=$(bash "$cups_script" output-dir "$cups_dir" "$queue")
server=$(sed -n 's/^CUPS_SERVER=//p' "$cups_dir/env")
server_root=$(sed -n 's/^CUPS_SERVERROOT=//p' "$cups_dir/env")

# A clean start: a home the user has never run the program in.
home="$work/home"
mkdir -p "$home" "$work/runtime"
chown "$user:" "$home" "$work/runtime"
chmod 700 "$work/runtime"
cp "$src/tests/dist/drive_installed_program.sh" "$work/drive.sh"
program_dir_before=$(ls -la --time-style=+%s "$root/usr/bin")

# Xvfb runs as root; the user gets the display's key. The test runner asks
# for headless Qt, the program must use the X server: the user's environment
# starts empty.
timeout 240 xvfb-run -a -f "$work/xauthority" -s "-screen 0 1024x768x24" \
  bash -c 'chown "$1:" "$XAUTHORITY" && exec runuser -u "$1" -- env -i PATH=/usr/bin:/bin \
      HOME="$2" USER="$1" LOGNAME="$1" LANG=C.UTF-8 XDG_RUNTIME_DIR="$3" DISPLAY="$DISPLAY" XAUTHORITY="$XAUTHORITY" \
      CUPS_SERVER="$4" CUPS_SERVERROOT="$5" bash "$6" "$7" "$2/add_times.txt"' \
  run-as "$user" "$home" "$work/runtime" "$server" "$server_root" "$work/drive.sh" "$program" \
  2>"$work/program.log" \
  || { echo "the program driver ended with status $?"; echo "--- program output:"; tail -n 30 "$work/program.log"; }

for _ in $(seq 1 240); do
  [ -z "$(bash "$cups_script" run "$cups_dir" lpstat -o "$queue" 2>/dev/null)" ] && break
  sleep 0.5
done
pdf=$(ls "$outdir"/*-job_*.pdf 2>/dev/null | head -1 || true)
check "the run reached the private queue ($outdir)" '[ -n "$pdf" ]'
if [ -z "$pdf" ]; then
  echo "--- jobs:"; bash "$cups_script" run "$cups_dir" lpstat -W all -o || true
  echo "--- scheduler and cups-pdf logs:"; tail -n 20 "$cups_dir"/log/error_log "$cups_dir"/cups-pdf/log/* 2>/dev/null || true
fi
if [ -n "$pdf" ]; then
  check "the job is the user's" '[ "$(stat -c %U "$pdf")" = "$user" ]'
  mkdir -p "$work/scan"
  pdftoppm -r 300 -gray "$pdf" "$work/scan/page" 2>/dev/null
  for page in "$work"/scan/page*.pgm; do zbarimg --quiet --raw -Scode128.enable "$page" 2>/dev/null || true; done >"$work/decoded.txt"
  # Each pass number is the valid-on instant's serial plus the pass's index;
  # the instant is the moment Add was clicked, known to a few seconds.
  check "every pass of the run decodes" 'python3 - "$home/add_times.txt" "$work/decoded.txt" "$quantity" "$lane" <<"PY"
import sys, datetime
lo, hi = [int(t) for t in open(sys.argv[1]).read().split()]
decoded = sorted(l.strip() for l in open(sys.argv[2]) if l.strip())
quantity, lane = int(sys.argv[3]), sys.argv[4]
def serial(t):
    now = datetime.datetime.fromtimestamp(t)
    start = datetime.datetime(now.year - now.year % 2, 1, 1)
    return 20000000 + int((now - start).total_seconds())
first = serial(lo) - 2
ok = len(decoded) == quantity and all(d.endswith(lane) and len(d) == 10 for d in decoded)
numbers = [int(d[:8]) for d in decoded] if ok else []
ok = ok and first <= numbers[0] <= serial(hi) and numbers == list(range(numbers[0], numbers[0] + quantity))
print("passes printed: %d, decoded: %d" % (quantity, len(decoded)), decoded)
sys.exit(0 if ok else 1)
PY'
fi
# The user may not write beside the program, so the barcode file goes to the
# user's cache folder, as on a desktop.
check "barcode file in the user's cache folder" '[ -s "$home/.cache/tessary-utility/code128.bmp" ]'
check "nothing written beside the program" '[ "$(ls -la --time-style=+%s "$root/usr/bin")" = "$program_dir_before" ]'

# The batch tool of the same package, run by the same user: one sheet of six
# passes to the private queue, every barcode the one its instant gives.
print_tool="$root/usr/bin/tessary-print"
man_page="$root/usr/share/man/man1/tessary-print.1.gz"
check "batch tool in $root/usr/bin" '[ -x "$print_tool" ]'
check "batch tool's man page" '[ -s "$man_page" ] && gzip -t "$man_page"'
cp "$src/examples/passes_2x5_letter.lbl" "$home/passes.lbl"
chown "$user:" "$home/passes.lbl"
outputs_before=$(ls "$outdir" 2>/dev/null | sort)
day=$(date +%F)
as_user() {
  runuser -u "$user" -- env -i PATH=/usr/bin:/bin HOME="$home" USER="$user" LANG=C.UTF-8 \
    XDG_RUNTIME_DIR="$work/runtime" CUPS_SERVER="$server" CUPS_SERVERROOT="$server_root" "$@"
}
check "batch tool prints to the queue" \
  'as_user "$print_tool" --label "$home/passes.lbl" --row "07,${day}T08:00:00,6" --printer "$queue" --quiet 2>"$work/print-tool.log"'
for _ in $(seq 1 240); do
  [ -z "$(bash "$cups_script" run "$cups_dir" lpstat -o "$queue" 2>/dev/null)" ] && break
  sleep 0.5
done
tool_pdf=$(comm -13 <(echo "$outputs_before") <(ls "$outdir" 2>/dev/null | sort) | grep -- '-job_.*\.pdf$' | head -1 || true)
check "the batch tool's job reached the queue" '[ -n "$tool_pdf" ]'
if [ -n "$tool_pdf" ]; then
  mkdir -p "$work/tool-scan"
  pdftoppm -r 300 -gray "$outdir/$tool_pdf" "$work/tool-scan/page" 2>/dev/null
  for page in "$work"/tool-scan/page*.pgm; do zbarimg --quiet --raw -Scode128.enable "$page" 2>/dev/null || true; done >"$work/tool-decoded.txt"
  check "every pass of the batch tool's job decodes" 'python3 - "$day" "$work/tool-decoded.txt" <<"PY"
import sys, datetime
day = datetime.datetime.strptime(sys.argv[1] + " 08:00:00", "%Y-%m-%d %H:%M:%S")
start = datetime.datetime(day.year - day.year % 2, 1, 1)
serial = 20000000 + int((day - start).total_seconds())
decoded = sorted(l.strip() for l in open(sys.argv[2]) if l.strip())
expected = ["%08d07" % (serial + i) for i in range(6)]
print("batch tool passes printed: 6, decoded: %d" % len(decoded), decoded)
sys.exit(0 if decoded == expected else 1)
PY'
fi
# Both runs are in the user's register of issued passes, in a folder of the user's alone.
register_tool="$root/usr/bin/tessary-register"
check "register tool in $root/usr/bin and its man page" \
  '[ -x "$register_tool" ] && gzip -t "$root/usr/share/man/man1/tessary-register.1.gz"'
check "the window's and the batch tool's passes are in the register" \
  '[ "$(as_user "$register_tool" list --lane "$lane" | grep -c "(window, ")" -eq "$quantity" ] &&
   [ "$(as_user "$register_tool" list --lane 07 | grep -c "(tessary-print, ")" -eq 6 ]'
check "the register's folder is the user's alone" '[ "$(stat -c %a "$home/.local/share/tessary-utility")" = 700 ]'
check "batch tool refuses a 1979 row and leaves no file" \
  '! as_user "$print_tool" --label "$home/passes.lbl" --row "07,1979-06-01,2" --pdf "$home/old.pdf" --quiet 2>/dev/null && [ ! -e "$home/old.pdf" ]'

# Root may write anywhere, but an installed program never writes beside
# itself: the barcode file goes to root's cache folder. Only a program run
# from its build folder keeps the file beside it.
root_home="$work/root-home"
mkdir -p "$root_home" "$work/root-runtime"
chmod 700 "$work/root-runtime"
as_root() {
  env -i PATH=/usr/bin:/bin HOME="$root_home" USER=root LANG=C.UTF-8 XDG_RUNTIME_DIR="$work/root-runtime" \
    CUPS_SERVER="$server" CUPS_SERVERROOT="$server_root" "$@"
}
check "batch tool as root prints" \
  'as_root "$print_tool" --label "$home/passes.lbl" --row "07,${day}T09:00:00,2" --pdf "$root_home/root.pdf" --quiet'
check "root's barcode file in root's cache folder" '[ -s "$root_home/.cache/tessary-utility/code128.bmp" ]'
rm -rf "$root_home/.cache"
timeout 240 xvfb-run -a -s "-screen 0 1024x768x24" \
  bash -c 'exec env -i PATH=/usr/bin:/bin HOME="$1" USER=root LANG=C.UTF-8 XDG_RUNTIME_DIR="$2" \
      DISPLAY="$DISPLAY" XAUTHORITY="$XAUTHORITY" CUPS_SERVER="$3" CUPS_SERVERROOT="$4" bash "$5" "$6" "$1/add_times.txt"' \
  run-as-root "$root_home" "$work/root-runtime" "$server" "$server_root" "$work/drive.sh" "$program" \
  >"$work/program-root.log" 2>&1 || echo "the program driver (root) ended with status $?"
check "the window as root: barcode file in root's cache folder" '[ -s "$root_home/.cache/tessary-utility/code128.bmp" ]'
check "nothing written beside the programs, run as root" '[ "$(ls -la --time-style=+%s "$root/usr/bin")" = "$program_dir_before" ]'
# A folder of the test's own stands for the build folder, which other tests share.
mkdir "$work/from-build" && cp "$build/tessary-print" "$work/from-build/"
check "from the build folder, the barcode file is beside the program" \
  'as_root "$work/from-build/tessary-print" --label "$home/passes.lbl" --row "07,${day}T10:00:00,2" --pdf "$root_home/build.pdf" --quiet && [ -s "$work/from-build/code128.bmp" ]'

if [ "$mode" = dpkg ]; then
  dpkg -r "$package" >"$work/dpkg-remove.log"
  installed=no
  check "package removed" '[ ! -e /usr/bin/tessary-utility ]'
else
  check "the machine's packages untouched" '[ "$(dpkg-query -W -f="\${Status} \${Version}" "$package" 2>/dev/null || true)" = "$installed_before" ]'
fi
wait "$lintian_pid" "$lintian_dbgsym_pid" || true
echo "--- lintian:"; grep -v "^running with root privileges" "$work/lintian.log" || true
check "lintian: no errors, no warnings" '! grep -qE "^[EW]: " "$work/lintian.log"'
check "lintian on the -dbgsym package: no errors, no warnings" '! grep -qE "^[EW]: " "$work/lintian-dbgsym.log"'
[ "$fail" -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit "$fail"
