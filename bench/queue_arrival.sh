#!/usr/bin/env bash
# Times a run to a PCL XL laser queue up to its printer: when its first and
# last pages arrive, on a scheduler of its own whose printer notes when data
# arrives (bench/backends/arrival).
#
#   bench/queue_arrival.sh RENDER_BENCH [render-bench options, without --queue/--out]
#
# Prints render-bench's own figures, then pages, first_page_seconds and
# last_page_seconds, counted from just before render-bench starts.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cups="$here/../tests/support/private_cups.sh"
bench="${1:?render-bench to run}"; shift
work=$(mktemp -d /tmp/queue-arrival.XXXXXX)
mkdir -p "$work/printed" && chmod 1777 "$work/printed"
chmod 755 "$work"
pid=$(TESSARY_CUPS_BACKENDS="$here/backends" "$cups" start "$work/cups")
trap 'kill -TERM "$pid" 2>/dev/null || true; "$cups" stop "$work/cups" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
"$cups" run "$work/cups" lpadmin -p Laser -v "arrival:$work/printed" -P /usr/share/ppd/cupsfilters/pxlmono.ppd -E \
  2>&1 | grep -v "deprecated" >&2 || true
start=$(date +%s.%N)
"$cups" run "$work/cups" "$bench" --queue Laser "$@"
# The job is done once the scheduler no longer lists it.
for _ in $(seq 1 600); do
  [ -z "$("$cups" run "$work/cups" lpstat -o Laser 2>/dev/null)" ] && break
  sleep 0.2
done
data=$(ls "$work/printed"/job-*.data | head -1)
python3 "$here/page_arrival.py" "$data" "${data%.data}.times" "$start"
