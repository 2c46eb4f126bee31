#!/usr/bin/env bash
# A CUPS scheduler of a test's own: its configuration, spool, cache, state,
# logs and socket all live in one folder the test owns, so the machine's own
# printers, default destination and scheduler are never used or changed.
#
#   private_cups.sh check                    exit 77 and say why when this machine
#                                            cannot run one (not root, packages missing)
#   private_cups.sh start DIR [--watch PID]  start cupsd, print its process id; with
#                                            --watch, stop it when process PID ends
#   private_cups.sh exec-cupsd DIR           become cupsd (foreground; for callers
#                                            that keep it as their child)
#   private_cups.sh wait-ready DIR [PID]     wait until it answers
#   private_cups.sh add-queue DIR NAME [PPD] add a cups-pdf queue (PPD: the
#                                            queue's description, default cups-pdf's)
#   private_cups.sh set-default DIR NAME     make NAME the default destination
#   private_cups.sh output-dir DIR NAME      print where NAME's PDF files go
#                                            (<title>-job_<id>.pdf, owned by the job's user)
#   private_cups.sh run DIR COMMAND...       run COMMAND against this scheduler
#   private_cups.sh stop DIR                 stop the cupsd this folder recorded
#
# DIR/env holds KEY=VALUE lines (CUPS_SERVER, CUPS_SERVERROOT, HOME) that point
# libcups and the lp tools at this scheduler; `set -a; . DIR/env; set +a`.
# TESSARY_CUPS_BACKENDS, when set at start, names a folder of backends of the
# caller's own that the scheduler runs beside the system's.
# Needs root: cups-pdf refuses to run otherwise. Exit 77: something missing.
set -euo pipefail

readonly CUPSD=/usr/sbin/cupsd
readonly CUPS_PDF_BACKEND=/usr/lib/cups/backend/cups-pdf
readonly CUPS_PDF_PPD=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
# cups-pdf reads /etc/cups/cups-pdf-<name>.conf for the URI cups-pdf:/<name>.
# No such file is ever created: every setting it needs comes from the queue's
# PPD, so a machine's own cups-pdf.conf does not change where output goes.
readonly CUPS_PDF_URI=cups-pdf:/tessary-private-queue
readonly SELF="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")"

die() { echo "private_cups: $*" >&2; exit 1; }
missing() { echo "private_cups: $*" >&2; exit 77; }

# The folder as an absolute path; only start and exec-cupsd create it.
absolute_dir() {
  local dir="$1" create="$2"
  [ -n "$dir" ] || die "no folder given"
  if [ "$create" = yes ]; then mkdir -p "$dir"; fi
  if [ -d "$dir" ]; then (cd "$dir" && pwd); else echo "$dir"; fi
}

socket_of() { echo "$1/cups.sock"; }

# Exits 77 with the reason when this machine cannot run a private scheduler.
check() {
  [ "$(id -u)" -eq 0 ] || missing "a private scheduler with a cups-pdf queue needs root"
  for needed in "$CUPSD" "$CUPS_PDF_BACKEND" "$CUPS_PDF_PPD" /usr/sbin/lpadmin /usr/bin/lpstat; do
    [ -e "$needed" ] || missing "$needed is missing (packages cups, cups-client, printer-driver-cups-pdf)"
  done
}

# Writes the scheduler's configuration under DIR; nothing outside DIR.
prepare() {
  local dir="$1"
  check
  case "$dir" in *[[:space:]]*) die "the folder may not contain spaces: $dir" ;; esac
  local socket; socket=$(socket_of "$dir")
  # A Unix socket's path must fit in sun_path.
  [ "${#socket}" -lt 100 ] || die "folder path too long for a socket: $socket"

  mkdir -p "$dir"/{conf,spool/tmp,cache,state,log,ssl,home/.cups,cups-pdf/spool,cups-pdf/log,cups-pdf/tmp}
  # The scheduler's filters run as lp and must reach the spool and PPDs; the
  # users a test prints as must reach their output folders.
  chmod 755 "$dir" "$dir/cups-pdf"
  chmod 751 "$dir/cups-pdf/spool"
  # Ghostscript runs as the job's user and keeps its temporary files here.
  chmod 1777 "$dir/cups-pdf/tmp"
  chmod 700 "$dir/cups-pdf/log"

  cat >"$dir/conf/cups-files.conf" <<EOF
ServerRoot $dir/conf
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ServerKeychain $dir/ssl
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
User lp
Group lp
SystemGroup root
FileDevice No
Printcap $dir/state/printcap
EOF
  # Backends of the caller's own (a folder of them) beside the system's: the
  # scheduler then runs its programs from a folder of its own that links to
  # the system's filters and backends and holds copies of these.
  if [ -n "${TESSARY_CUPS_BACKENDS:-}" ]; then
    local sub name
    mkdir -p "$dir/serverbin/backend"
    for sub in /usr/lib/cups/*; do
      name=$(basename "$sub")
      [ "$name" = backend ] || ln -sfn "$sub" "$dir/serverbin/$name"
    done
    for sub in /usr/lib/cups/backend/*; do ln -sfn "$sub" "$dir/serverbin/backend/"; done
    for sub in "$TESSARY_CUPS_BACKENDS"/*; do install -m 755 "$sub" "$dir/serverbin/backend/"; done
    echo "ServerBin $dir/serverbin" >>"$dir/conf/cups-files.conf"
  fi
  cat >"$dir/conf/cupsd.conf" <<EOF
LogLevel warn
Listen $socket
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
DefaultEncryption Never
PreserveJobHistory Yes
PreserveJobFiles Yes
MaxJobs 0
DefaultPolicy private
<Policy private>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
<Location />
  Order allow,deny
  Allow all
</Location>
EOF
  # Clients: the socket, a home of their own (~/.cups/lpoptions) and the
  # scheduler's ServerRoot in place of /etc/cups, so that neither the machine's
  # client.conf nor its lpoptions chooses the server or the default
  # destination, and root's tools read queue PPDs there as they would in
  # /etc/cups/ppd.
  printf 'CUPS_SERVER=%s\nCUPS_SERVERROOT=%s\nHOME=%s\n' "$socket" "$dir/conf" "$dir/home" >"$dir/env"
}

# Runs a client command against the scheduler in DIR, whatever the caller's
# environment says about printers.
client() {
  local dir="$1"; shift
  env -u LPDEST -u PRINTER CUPS_SERVER="$(socket_of "$dir")" CUPS_SERVERROOT="$dir/conf" HOME="$dir/home" "$@"
}

recorded_pid() {
  local dir="$1" pid
  [ -s "$dir/cupsd.pid" ] || return 1
  pid=$(cat "$dir/cupsd.pid")
  # Only the cupsd started on this folder's configuration, never a process
  # that happens to have been given the same id later.
  [ -r "/proc/$pid/cmdline" ] && tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qF -- "-c $dir/conf/cupsd.conf" || return 1
  echo "$pid"
}

running() { client "$1" lpstat -r 2>/dev/null | grep -q "scheduler is running"; }

# Waits until the scheduler answers; PID, when given, is the process that is
# becoming it, so that a cupsd that quits at once is reported at once.
wait_ready() {
  local dir="$1" pid="${2:-}"
  for _ in $(seq 1 100); do
    running "$dir" && return 0
    if [ -n "$pid" ] && ! [ -e "/proc/$pid" ]; then
      die "cupsd ended while starting; see $dir/log/error_log and $dir/log/cupsd.out"
    fi
    sleep 0.1
  done
  die "cupsd did not answer on $(socket_of "$dir") within 10 s"
}

exec_cupsd() {
  local dir="$1"
  prepare "$dir"
  echo $$ >"$dir/cupsd.pid"
  # cups-pdf's output, spool and log folders are given relative to the
  # working folder it inherits from cupsd (see add-queue).
  cd "$dir/cups-pdf"
  exec env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C "$CUPSD" -f -c "$dir/conf/cupsd.conf" -s "$dir/conf/cups-files.conf"
}

start() {
  local dir="$1" watch=""
  if [ "${2:-}" = "--watch" ]; then watch="${3:?--watch needs a process id}"; fi
  prepare "$dir"
  local running_pid
  if running_pid=$(recorded_pid "$dir"); then die "a scheduler already runs on $dir (pid $running_pid)"; fi
  # A line for every scheduler started, where a suite run counts them.
  if [ -n "${TESSARY_SERVER_TALLY:-}" ]; then echo "cupsd private_cups.sh" >>"$TESSARY_SERVER_TALLY"; fi
  "$SELF" exec-cupsd "$dir" </dev/null >"$dir/log/cupsd.out" 2>&1 &
  local pid=$!
  wait_ready "$dir" "$pid"
  if [ -n "$watch" ]; then
    # Stops the scheduler when the watched process ends without stopping it
    # (killed, crashed).
    (
      while kill -0 "$watch" 2>/dev/null && [ -e "/proc/$pid" ]; do sleep 1; done
      "$SELF" stop "$dir"
    ) </dev/null >/dev/null 2>&1 &
  fi
  echo "$pid"
}

stop() {
  local dir="$1" pid
  [ -d "$dir" ] || return 0
  pid=$(recorded_pid "$dir") || { rm -f "$dir/cupsd.pid"; return 0; }
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 1 100); do [ -e "/proc/$pid" ] || break; sleep 0.1; done
  if [ -e "/proc/$pid" ]; then kill -KILL "$pid" 2>/dev/null || true; fi
  rm -f "$dir/cupsd.pid"
}

valid_queue_name() {
  # cups-pdf takes its output folder from a PPD choice (at most 40 characters,
  # no "/"), so names stay short and plain.
  [[ "$1" =~ ^[A-Za-z0-9_-]{1,32}$ ]] || die "queue name must be 1-32 of A-Z a-z 0-9 _ -: '$1'"
}

output_dir() { echo "$1/cups-pdf/out-$2"; }

# cups-pdf reads its settings from the queue's PPD after its configuration
# file. A PPD default cannot hold a "/", so the folders are relative to the
# backend's working folder, DIR/cups-pdf, which it inherits from cupsd.
cups_pdf_settings() {
  local name="$1"
  cat <<EOF

*% Settings for the cups-pdf backend of a test's private scheduler.
*OpenGroup: PrivateQueue/Private queue
*OpenUI *Out/Output folder: PickOne
*DefaultOut: out-$name
*Out out-$name/out-$name: ""
*CloseUI: *Out
*OpenUI *AnonDirName/Output folder of unknown users: PickOne
*DefaultAnonDirName: out-$name
*AnonDirName out-$name/out-$name: ""
*CloseUI: *AnonDirName
*OpenUI *Spool/Spool folder: PickOne
*DefaultSpool: spool
*Spool spool/spool: ""
*CloseUI: *Spool
*OpenUI *Log/Log folder: PickOne
*DefaultLog: log
*Log log/log: ""
*CloseUI: *Log
*OpenUI *GSTmp/Temporary folder: PickOne
*DefaultGSTmp: tmp
*GSTmp tmp/tmp: ""
*CloseUI: *GSTmp
*OpenUI *Label/Label output files: PickOne
*DefaultLabel: 2
*Label 2/Suffix with the job id: ""
*CloseUI: *Label
*CloseGroup: PrivateQueue
EOF
}

add_queue() {
  local dir="$1" name="$2" ppd="${3:-$CUPS_PDF_PPD}"
  valid_queue_name "$name"
  [ -r "$ppd" ] || die "cannot read PPD $ppd"
  recorded_pid "$dir" >/dev/null || die "no scheduler runs on $dir"
  local out; out=$(output_dir "$dir" "$name")
  mkdir -p "$out"
  # Any user a test prints as writes here; cups-pdf only creates the folder
  # when it is missing.
  chmod 1777 "$out"
  mkdir -p "$dir/ppd"
  # The queue's own choices replace any the given PPD makes for the same keys.
  { awk '
      /^\*OpenUI \*(Out|AnonDirName|Spool|Log|GSTmp|Label)[\/:]/ { skipping = 1 }
      !skipping { print }
      skipping && /^\*CloseUI/ { skipping = 0 }
    ' "$ppd"
    cups_pdf_settings "$name"
  } >"$dir/ppd/$name.ppd"
  client "$dir" lpadmin -p "$name" -v "$CUPS_PDF_URI" -P "$dir/ppd/$name.ppd" -E 2>&1 \
    | grep -v "deprecated and will stop working" >&2 || true
  client "$dir" lpstat -v "$name" 2>/dev/null | grep -q "$CUPS_PDF_URI" || die "lpadmin did not add queue $name"
}

if [ "${1:-}" = check ]; then check; exit 0; fi
[ $# -ge 2 ] || die "usage: $0 check | start|exec-cupsd|wait-ready|add-queue|set-default|output-dir|run|stop DIR [...]"
command="$1"
case "$command" in start|exec-cupsd) create=yes ;; *) create=no ;; esac
dir=$(absolute_dir "$2" "$create")
shift 2
case "$command" in
  start) start "$dir" "$@" ;;
  exec-cupsd) exec_cupsd "$dir" ;;
  wait-ready) wait_ready "$dir" "${1:-}" ;;
  add-queue) add_queue "$dir" "${1:?queue name}" "${2:-}" ;;
  set-default) client "$dir" lpadmin -d "${1:?queue name}" ;;
  output-dir) valid_queue_name "${1:?queue name}"; output_dir "$dir" "$1" ;;
  run) client "$dir" "$@" ;;
  stop) stop "$dir" ;;
  *) die "unknown command $command" ;;
esac
