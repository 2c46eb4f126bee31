#!/usr/bin/env bash
# Runs inside an X server: starts the packaged program ($1), fills its window
# with the mouse and keyboard as an operator would, and prints one run to the
# default printer. Writes the Add time bounds (Unix seconds) to $2.
#
# X delivers the clicks and keys in order and the program handles them in
# order, so a key typed after a click reaches the control the click chose;
# only what the program shows of its own accord is waited for.
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

# Waits, at most $1 tenths of a second, for the condition $2 (evaluated anew
# each time) to hold.
wait_for() {
  for _ in $(seq 1 "$1"); do
    eval "$2" && return 0
    sleep 0.1
  done
  return 1
}
visible_windows() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l; }
jobs_on_queue() { lpstat -W all -o 2>/dev/null | wc -l; }
jobs_before=$(jobs_on_queue)

# Clicks the control whose top-left corner is at (x, y) in the window and
# replaces its text.
type_into() {
  xdotool mousemove --window "$win" "$(($1 + 6))" "$(($2 + 8))" click 1
  xdotool key End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
  xdotool type --delay 40 "$3"
}

type_into 48 24 0.25     # txtLeftMargin
type_into 138 24 0.5     # txtTop
type_into 252 42 2       # ebxCols
type_into 334 42 5       # ebxRows
type_into 280 124 1.0    # txtFontSize
type_into 118 146 INSTALLED   # ebxLine1
# Lane: open the list, find "07" by typing, take it.
windows=$(visible_windows)
xdotool mousemove --window "$win" 110 302 click 1
wait_for 50 '[ "$(visible_windows)" -gt "$windows" ]' || echo "the lane list did not open"
xdotool type --delay 60 07
xdotool key Return
wait_for 50 '[ "$(visible_windows)" -eq "$windows" ]' || echo "the lane list did not close"
type_into 88 352 6       # txtQty

date +%s > "$times_file"
xdotool mousemove --window "$win" 125 388 click 1   # Add

xdotool mousemove --window "$win" 345 554 click 1   # Print
dialog=$(timeout 60 xdotool search --sync --onlyvisible --name '^Print$' | head -1)
# The dialog shows after the Add was handled.
date +%s >> "$times_file"
echo "print dialog $dialog"
wait_for 100 '[ "$(xdotool getwindowfocus)" = "$dialog" ]' || echo "the print dialog did not take the keyboard"
xdotool mousemove --window "$dialog" 20 20 key Return
# The run ends with its job on the queue; a close request during a run would
# only stop it early.
wait_for 600 '[ "$(jobs_on_queue)" -gt "$jobs_before" ]' || echo "no job reached the queue"
wait_for 600 '[ -z "$(lpstat -o 2>/dev/null)" ]' || echo "the job did not leave the queue"
kill "$app_pid"
wait "$app_pid" || true
trap - EXIT
