#!/usr/bin/env bash
# Runs inside an X server: starts the packaged program ($1), fills its window
# with the mouse and keyboard as an operator would, and prints one run to the
# default printer. Writes the Add time bounds (Unix seconds) to $2.
set -euo pipefail
program="$1"
times_file="$2"

"$program" &
app_pid=$!
trap 'kill "$app_pid" 2>/dev/null || true' EXIT

# The first start on a fresh machine may build font caches; give it time.
win=$(timeout 90 xdotool search --sync --onlyvisible --name '^Tessary Utility$' | head -1) || {
  echo "no window after 90 s; windows on the display:"
  xwininfo -root -tree | head -n 20
  if command -v gdb >/dev/null; then gdb -batch -p "$app_pid" -ex 'thread apply all bt 12' 2>/dev/null | grep -E '^#|^Thread' | head -n 60; fi
  exit 124
}
echo "window $win: $(xwininfo -id "$win" | grep -E 'Width|Height' | tr -s ' ' | tr '\n' ' ')"
sleep 1

# Clicks the control whose top-left corner is at (x, y) in the window and
# replaces its text.
type_into() {
  xdotool mousemove --window "$win" "$(($1 + 6))" "$(($2 + 8))" click 1
  sleep 0.2
  xdotool key End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
  xdotool type --delay 40 "$3"
  sleep 0.2
}

type_into 48 24 0.25     # txtLeftMargin
type_into 138 24 0.5     # txtTop
type_into 252 42 2       # ebxCols
type_into 334 42 5       # ebxRows
type_into 280 124 1.0    # txtFontSize
type_into 118 146 INSTALLED   # ebxLine1
# Lane: open the list, find "07" by typing, take it.
xdotool mousemove --window "$win" 110 302 click 1
sleep 0.5
xdotool type --delay 60 07
xdotool key Return
sleep 0.3
type_into 88 352 6       # txtQty

date +%s > "$times_file"
xdotool mousemove --window "$win" 125 388 click 1   # Add
sleep 0.3
date +%s >> "$times_file"

xdotool mousemove --window "$win" 345 554 click 1   # Print
dialog=$(timeout 60 xdotool search --sync --onlyvisible --name '^Print$' | head -1)
echo "print dialog $dialog"
sleep 1
xdotool mousemove --window "$dialog" 20 20 key Return
# One sheet takes well under this; a close request during a run would only
# stop it early.
sleep 8
kill "$app_pid"
wait "$app_pid" || true
trap - EXIT
