#!/usr/bin/env bash
# Runs a command and tells whether it left the machine's printing set-up as it
# found it: the machine scheduler's default destination and queues (lpstat -d,
# lpstat -v), a checksum of every file under /etc/cups, the files in /usr/bin,
# and the names under the CUPS and cups-pdf spool folders, /run/cups and
# root's ~/.cups, and the user accounts.
#
#   scripts/check-machine-unchanged.sh [-o DIR] COMMAND [ARG...]
#
# -o DIR keeps the two records (DIR/before.txt, DIR/after.txt). Exit status:
# the command's, or 3 when the command succeeded but the machine changed.
set -uo pipefail

keep=""
if [ "${1:-}" = -o ]; then keep="${2:?-o needs a folder}"; shift 2; fi
[ $# -ge 1 ] || { echo "usage: $0 [-o DIR] COMMAND [ARG...]" >&2; exit 2; }

record() {
  # The machine's own view: whatever a test sets for itself is not asked.
  local machine=(env -u CUPS_SERVER -u CUPS_SERVERROOT -u LPDEST -u PRINTER)
  echo "## lpstat -d"
  "${machine[@]}" lpstat -d 2>&1
  echo "## lpstat -v"
  "${machine[@]}" lpstat -v 2>&1
  echo "## sha256 of the files under /etc/cups"
  find /etc/cups -type f -print0 2>/dev/null | sort -z | xargs -0 -r sha256sum
  echo "## entries under /etc/cups"
  find /etc/cups -printf '%M %u:%g %p %l\n' 2>/dev/null | sort
  echo "## /usr/bin"
  find /usr/bin -maxdepth 1 -printf '%M %u:%g %s %p %l\n' | sort
  for dir in /var/spool/cups /var/spool/cups-pdf /run/cups "$HOME/.cups"; do
    echo "## names under $dir"
    if [ -e "$dir" ]; then find "$dir" -printf '%M %u:%g %p\n' | sort; else echo "(none)"; fi
  done
  echo "## user accounts"
  getent passwd | cut -d: -f1,3 | sort
}

records=$(mktemp -d)
trap 'rm -rf "$records"' EXIT
record >"$records/before.txt"
"$@"
status=$?
record >"$records/after.txt"
if [ -n "$keep" ]; then mkdir -p "$keep" && cp "$records"/before.txt "$records"/after.txt "$keep"/; fi

echo "---- machine check around: $*"
echo "lpstat -d: $(sed -n '/^## lpstat -d/,/^## lpstat -v/p' "$records/after.txt" | sed '1d;$d' | tr '\n' ' ')"
echo "files under /etc/cups: $(grep -c '^[0-9a-f]\{64\} ' "$records/after.txt"), in /usr/bin: $(sed -n '/^## \/usr\/bin/,/^## names under/p' "$records/after.txt" | grep -c '^[-dlrwxst]')"
if diff -u "$records/before.txt" "$records/after.txt"; then
  echo "machine unchanged (command exit status $status)"
  exit "$status"
fi
echo "MACHINE CHANGED (command exit status $status)"
[ "$status" -ne 0 ] && exit "$status"
exit 3
