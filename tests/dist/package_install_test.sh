#!/usr/bin/env bash
# Tries the packaged program the way a user gets it: an unprivileged user with
# a fresh home starts it under Xvfb and prints one sheet through a CUPS
# scheduler of the test's own; the printed PDF's barcodes are scanned. The
# batch tool and the register tool of the package print and list as well.
#
# The package is installed with dpkg (and removed again) only when CI is set
# and the package is not installed already; otherwise it is unpacked into a
# folder of the test's own and run from there. Exit 77 means skipped.
. "$(dirname "$0")/package_common.sh"
queue=PDF
quantity=6
lane=07
packed
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
here="$work/install"
rm -rf "$here" && mkdir -p "$here"
chmod 755 "$here"
[ "$mode" = unpacked ] && root="$here/root"
cups_dir=$(mktemp -d /tmp/tessary-cups-XXXXXX)
installed=no
cleanup() {
  if [ "$installed" = yes ]; then dpkg -r "$package" >/dev/null 2>&1 || true; fi
  bash "$cups_script" stop "$cups_dir" || true
  rm -rf "$cups_dir"
}
trap cleanup EXIT

if [ "$mode" = dpkg ]; then
  dpkg -i "$deb" >"$here/dpkg.log"
  installed=yes
else
  dpkg-deb -x "$deb" "$root"
fi
program="$root/usr/bin/tessary-utility"
check "program in $root/usr/bin" '[ -x "$program" ]'

# The scheduler, stopped by its process id on the way out (or by its watch
# when this script is killed).
bash "$cups_script" start "$cups_dir" --watch $$ >/dev/null
bash "$cups_script" add-queue "$cups_dir" "$queue"
bash "$cups_script" set-default "$cups_dir" "$queue"
outdir=$(bash "$cups_script" output-dir "$cups_dir" "$queue")
server=$(sed -n 's/^CUPS_SERVER=//p' "$cups_dir/env")
server_root=$(sed -n 's/^CUPS_SERVERROOT=//p' "$cups_dir/env")

# A clean start: a home the user has never run the program in.
home="$here/home"
mkdir -p "$home" "$here/runtime"
chown "$user:" "$home" "$here/runtime"
chmod 700 "$here/runtime"
cp "$src/tests/dist/drive_installed_program.sh" "$here/drive.sh"
program_dir_before=$(ls -la --time-style=+%s "$root/usr/bin")

# Xvfb runs as root; the user gets the display's key. The test runner asks
# for headless Qt, the program must use the X server: the user's environment
# starts empty.
timeout 240 xvfb-run -a -f "$here/xauthority" -s "-screen 0 1024x768x24" \
  bash -c 'chown "$1:" "$XAUTHORITY" && exec runuser -u "$1" -- env -i PATH=/usr/bin:/bin \
      HOME="$2" USER="$1" LOGNAME="$1" LANG=C.UTF-8 XDG_RUNTIME_DIR="$3" DISPLAY="$DISPLAY" XAUTHORITY="$XAUTHORITY" \
      CUPS_SERVER="$4" CUPS_SERVERROOT="$5" bash "$6" "$7" "$2/add_times.txt"' \
  run-as "$user" "$home" "$here/runtime" "$server" "$server_root" "$here/drive.sh" "$program" \
  2>"$here/program.log" \
  || { echo "the program driver ended with status $?"; echo "--- program output:"; tail -n 30 "$here/program.log"; }

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
  mkdir -p "$here/scan"
  pdftoppm -r 300 -gray "$pdf" "$here/scan/page" 2>/dev/null
  for page in "$here"/scan/page*.pgm; do zbarimg --quiet --raw -Scode128.enable "$page" 2>/dev/null || true; done >"$here/decoded.txt"
  # Each pass number is the valid-on instant's serial plus the pass's index;
  # the instant is the moment Add was clicked, known to a few seconds.
  check "every pass of the run decodes" 'python3 - "$home/add_times.txt" "$here/decoded.txt" "$quantity" "$lane" <<"PY"
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
    XDG_RUNTIME_DIR="$here/runtime" CUPS_SERVER="$server" CUPS_SERVERROOT="$server_root" "$@"
}
check "batch tool prints to the queue" \
  'as_user "$print_tool" --label "$home/passes.lbl" --row "07,${day}T08:00:00,6" --printer "$queue" --quiet 2>"$here/print-tool.log"'
for _ in $(seq 1 240); do
  [ -z "$(bash "$cups_script" run "$cups_dir" lpstat -o "$queue" 2>/dev/null)" ] && break
  sleep 0.5
done
tool_pdf=$(comm -13 <(echo "$outputs_before") <(ls "$outdir" 2>/dev/null | sort) | grep -- '-job_.*\.pdf$' | head -1 || true)
check "the batch tool's job reached the queue" '[ -n "$tool_pdf" ]'
if [ -n "$tool_pdf" ]; then
  mkdir -p "$here/tool-scan"
  pdftoppm -r 300 -gray "$outdir/$tool_pdf" "$here/tool-scan/page" 2>/dev/null
  for page in "$here"/tool-scan/page*.pgm; do zbarimg --quiet --raw -Scode128.enable "$page" 2>/dev/null || true; done >"$here/tool-decoded.txt"
  check "every pass of the batch tool's job decodes" 'python3 - "$day" "$here/tool-decoded.txt" <<"PY"
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
root_home="$here/root-home"
mkdir -p "$root_home" "$here/root-runtime"
chmod 700 "$here/root-runtime"
as_root() {
  env -i PATH=/usr/bin:/bin HOME="$root_home" USER=root LANG=C.UTF-8 XDG_RUNTIME_DIR="$here/root-runtime" \
    CUPS_SERVER="$server" CUPS_SERVERROOT="$server_root" "$@"
}
check "batch tool as root prints" \
  'as_root "$print_tool" --label "$home/passes.lbl" --row "07,${day}T09:00:00,2" --pdf "$root_home/root.pdf" --quiet'
check "root's barcode file in root's cache folder" '[ -s "$root_home/.cache/tessary-utility/code128.bmp" ]'
rm -rf "$root_home/.cache"
timeout 240 xvfb-run -a -s "-screen 0 1024x768x24" \
  bash -c 'exec env -i PATH=/usr/bin:/bin HOME="$1" USER=root LANG=C.UTF-8 XDG_RUNTIME_DIR="$2" \
      DISPLAY="$DISPLAY" XAUTHORITY="$XAUTHORITY" CUPS_SERVER="$3" CUPS_SERVERROOT="$4" bash "$5" "$6" "$1/add_times.txt"' \
  run-as-root "$root_home" "$here/root-runtime" "$server" "$server_root" "$here/drive.sh" "$program" \
  >"$here/program-root.log" 2>&1 || echo "the program driver (root) ended with status $?"
check "the window as root: barcode file in root's cache folder" '[ -s "$root_home/.cache/tessary-utility/code128.bmp" ]'
check "nothing written beside the programs, run as root" '[ "$(ls -la --time-style=+%s "$root/usr/bin")" = "$program_dir_before" ]'
# A folder of the test's own stands for the build folder, which other tests share.
mkdir "$here/from-build" && cp "$build/tessary-print" "$here/from-build/"
check "from the build folder, the barcode file is beside the program" \
  'as_root "$here/from-build/tessary-print" --label "$home/passes.lbl" --row "07,${day}T10:00:00,2" --pdf "$root_home/build.pdf" --quiet && [ -s "$here/from-build/code128.bmp" ]'

if [ "$mode" = dpkg ]; then
  dpkg -r "$package" >"$here/dpkg-remove.log"
  installed=no
  check "package removed" '[ ! -e /usr/bin/tessary-utility ]'
else
  check "the machine's packages untouched" '[ "$(dpkg-query -W -f="\${Status} \${Version}" "$package" 2>/dev/null || true)" = "$installed_before" ]'
fi
finish
