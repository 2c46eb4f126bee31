# What the package tests share (sourced): the checks that skip a machine that
# cannot run them, the package's names, and check(). Arguments: the source
# folder, the test build, the folder the tests share (the packages in pack/).
set -euo pipefail
src="$1"
build="$2"
work="$3"
package=tessary-utility
user=nobody
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

fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; fail=1; fi; }
finish() {
  [ "$fail" -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
  exit "$fail"
}
# The packages package_pack_test.sh made.
packed() {
  deb=$(ls "$work"/pack/tessary-utility_*.deb 2>/dev/null) && dbgsym=$(ls "$work"/pack/tessary-utility-dbgsym_*.deb 2>/dev/null) ||
    { echo "no packages in $work/pack: package_pack_test.sh has not run"; exit 1; }
}
