#!/usr/bin/env bash
# Builds the Debian package, installs it, starts the installed program under
# Xvfb, prints one sheet from it to a cups-pdf queue, scans the result and
# removes the package. Exit 77 means skipped.
set -euo pipefail
src="$1"
work="$2"
queue=PDF
quantity=6
lane=07

if [ "$(id -u)" -ne 0 ]; then echo "SKIP: installing a package needs root"; exit 77; fi
for tool in dpkg cpack xvfb-run xdotool xwininfo /usr/sbin/cupsd lpadmin zbarimg pdftoppm; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
if dpkg-query -W -f='${Status}' tessary-utility 2>/dev/null | grep -q 'install ok installed'; then
  echo "SKIP: tessary-utility is already installed on this machine; not touching it"; exit 77
fi

rm -rf "$work" && mkdir -p "$work"
cupsd_pid=""
cleanup() {
  dpkg -r tessary-utility >/dev/null 2>&1 || true
  rm -f /usr/bin/code128.bmp
  if [ -n "$cupsd_pid" ]; then kill "$cupsd_pid" 2>/dev/null || true; wait "$cupsd_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

# A build of its own: only the program, so nobody's half-written tests stop it.
cmake -S "$src" -B "$work/build" -DTESSARY_BUILD_TESTS=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >"$work/configure.log"
cmake --build "$work/build" --target tessary-utility -j2 >"$work/build.log"
(cd "$work/build" && cpack >"$work/cpack.log")
deb=$(ls "$work"/build/tessary-utility_*.deb)
echo "package: $deb"
dpkg-deb -f "$deb" Depends
dpkg -i "$deb" >"$work/dpkg.log"

fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; fail=1; fi; }
check "program in /usr/bin" '[ -x /usr/bin/tessary-utility ]'
check "desktop entry" '[ -f /usr/share/applications/tessary-utility.desktop ]'
if command -v desktop-file-validate >/dev/null; then
  check "desktop entry validates" 'desktop-file-validate /usr/share/applications/tessary-utility.desktop'
fi
check "desktop entry name" 'grep -qx "Name=Tessary Utility" /usr/share/applications/tessary-utility.desktop'
check "icon" '[ -s /usr/share/icons/hicolor/scalable/apps/tessary-utility.svg ]'
check "package depends on zint and Qt" 'dpkg-deb -f "$deb" Depends | grep -q libzint2.11 && dpkg-deb -f "$deb" Depends | grep -q libqt6printsupport6'

# A scheduler of the test's own, stopped by its process id on the way out.
if lpstat -r 2>/dev/null | grep -q "scheduler is running"; then
  echo "using the CUPS scheduler already running"
else
  mkdir -p /run/cups
  /usr/sbin/cupsd -f &
  cupsd_pid=$!
  for _ in $(seq 1 50); do lpstat -r 2>/dev/null | grep -q "scheduler is running" && break; sleep 0.2; done
fi
lpstat -v "$queue" 2>/dev/null | grep -q cups-pdf || lpadmin -p "$queue" -v cups-pdf:/ -E -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null
lpadmin -d "$queue"
outdir=$(awk '$1 == "Out" {print $2}' /etc/cups/cups-pdf.conf | tail -1)
outdir=${outdir:-/var/spool/cups-pdf/\$\{USER\}}
outdir=${outdir//\$\{HOME\}/$(getent passwd "$(id -un)" | cut -d: -f6)}
outdir=${outdir//\$\{USER\}/$(id -un)}
mkdir -p "$outdir"
before=$(ls "$outdir"/*.pdf 2>/dev/null || true)
rm -f /usr/bin/code128.bmp

# The test runner asks for headless Qt; the installed program must use the X server.
timeout 240 env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1024x768x24" \
  bash "$src/tests/dist/drive_installed_program.sh" "$work/add_times.txt" 2>"$work/program.log" \
  || { echo "the program driver ended with status $?"; echo "--- program output:"; tail -n 30 "$work/program.log"; }

for _ in $(seq 1 240); do [ -z "$(lpstat -o "$queue" 2>/dev/null)" ] && break; sleep 0.5; done
sleep 1
pdf=""
for f in "$outdir"/*-job_*.pdf; do
  [ -e "$f" ] || continue
  grep -qxF "$f" <<<"$before" || pdf="$f"
done
check "the run reached the queue ($outdir)" '[ -n "$pdf" ]'
if [ -n "$pdf" ]; then
  mkdir -p "$work/scan"
  pdftoppm -r 300 -gray -png "$pdf" "$work/scan/page" 2>/dev/null
  for page in "$work"/scan/page*.png; do zbarimg --quiet --raw -Scode128.enable "$page" 2>/dev/null || true; done >"$work/decoded.txt"
  rm -f "$pdf"
  # Each pass number is the valid-on instant's serial plus the pass's index;
  # the instant is the moment Add was clicked, known to a few seconds.
  check "every pass of the run decodes" 'python3 - "$work/add_times.txt" "$work/decoded.txt" "$quantity" "$lane" <<"PY"
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
# Root may write into /usr/bin, so the barcode file goes beside the program there.
check "barcode file beside the installed program (root may write /usr/bin)" '[ -s /usr/bin/code128.bmp ]'

dpkg -r tessary-utility >"$work/dpkg-remove.log"
check "package removed" '[ ! -e /usr/bin/tessary-utility ]'
[ "$fail" -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit "$fail"
