#!/usr/bin/env bash
# A CUPS scheduler of the test's own: its configuration, spool, logs and socket all live in one
# folder, and its one queue (the default printer) saves each job's document as it came, in that
# folder's out/: job-<id>.pdf from Qt, job-<id>.ps from Wine's printer driver. Clients reach it through CUPS_SERVER=<dir>/cups.sock;
# it opens no network port and leaves the machine's own printing set-up as it was.
#
# Usage: print_server.sh start <dir>   starts it (dir: an empty folder, short enough for a socket)
#        print_server.sh stop <dir>    stops it
#        print_server.sh queue         the queue's name
#
# The queue has its own backend instead of cups-pdf's: cups-pdf takes its output folder from a file
# in /etc/cups, which two runs at once would share. The backend runs as root (mode 0700), as a
# scheduler started by root runs such backends, so the folder needs no other owner.
set -euo pipefail

queue=Report_PDF

usage() {
  echo "usage: print_server.sh start|stop <dir> | queue" >&2
  exit 2
}

start() {
  local dir=$1
  local cupsd
  cupsd=$(command -v cupsd || echo /usr/sbin/cupsd)
  [[ -x "$cupsd" ]] || { echo "cupsd is not installed (scripts/deps test installs cups)" >&2; return 1; }
  mkdir -p "$dir"/{spool,tmp,cache,state,log,out,bin/backend}
  chmod 0755 "$dir" "$dir/out"
  # The scheduler runs its helpers from ServerBin: the system's, with this queue's backend added.
  local part
  for part in cgi-bin daemon driver filter monitor notifier; do
    [[ -e /usr/lib/cups/$part ]] && ln -sfn "/usr/lib/cups/$part" "$dir/bin/$part"
  done
  cat >"$dir/bin/backend/reportpdf" <<EOF
#!/bin/sh
# CUPS backend: no arguments lists no devices; otherwise saves the job (file argument or stdin).
[ \$# -eq 0 ] && exit 0
tmp="$dir/out/.job-\$1.part"
if [ \$# -ge 6 ]; then cat "\$6" >"\$tmp"; else cat >"\$tmp"; fi || exit 1
# Named by what it holds: Qt sends PDF, Wine's printer driver PostScript.
case \$(head -c 4 "\$tmp") in %PDF) kind=pdf ;; %!*) kind=ps ;; *) kind=prn ;; esac
chmod 0644 "\$tmp" && mv "\$tmp" "$dir/out/job-\$1.\$kind"
EOF
  chmod 0700 "$dir/bin/backend/reportpdf"

  cat >"$dir/cups-files.conf" <<EOF
ServerRoot $dir
ServerBin $dir/bin
RequestRoot $dir/spool
TempDir $dir/tmp
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
SystemGroup root
FileDevice No
EOF
  cat >"$dir/cupsd.conf" <<EOF
Listen $dir/cups.sock
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess default
  JobPrivateValues default
  SubscriptionPrivateAccess default
  SubscriptionPrivateValues default
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF

  # Run from a copy: a security profile that confines the system's scheduler to its own folders
  # (AppArmor's, on Debian desktops) is bound to the program's path, and would not let it run this
  # queue's backend or use this folder.
  cp "$cupsd" "$dir/bin/cupsd"
  "$dir/bin/cupsd" -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 &
  echo $! >"$dir/cupsd.pid"
  export CUPS_SERVER="$dir/cups.sock"
  for _ in $(seq 100); do
    lpstat -r >/dev/null 2>&1 && break
    kill -0 "$(cat "$dir/cupsd.pid")" 2>/dev/null || break
    sleep 0.1
  done
  if ! lpstat -r >/dev/null 2>&1; then
    echo "the test print server did not start:" >&2
    cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
    stop "$dir"
    return 1
  fi
  # A queue without a driver hands the document to the backend as it came. A scheduler that has
  # just begun to answer may still refuse to add it for a moment (seen once on a loaded machine).
  local tries
  for tries in $(seq 50); do
    if lpadmin -p "$queue" -E -v reportpdf:/ -D "Report PDF" 2>"$dir/log/lpadmin.err" &&
      lpadmin -d "$queue" 2>>"$dir/log/lpadmin.err"; then
      return 0
    fi
    sleep 0.1
  done
  echo "the test print server did not take its queue after $tries tries:" >&2
  cat "$dir/log/lpadmin.err" "$dir/log/error_log" >&2 2>/dev/null || true
  stop "$dir"
  return 1
}

stop() {
  local dir=$1 pid
  [[ -s "$dir/cupsd.pid" ]] || return 0
  pid=$(cat "$dir/cupsd.pid")
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
  rm -f "$dir/cupsd.pid"
}

case "${1:-}" in
  start) [[ $# -eq 2 ]] || usage; start "$2" ;;
  stop) [[ $# -eq 2 ]] || usage; stop "$2" ;;
  queue) echo "$queue" ;;
  *) usage ;;
esac
