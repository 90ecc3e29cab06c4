#!/usr/bin/env bash
# A PDF printer of one Wine session's own: a private CUPS daemon (its own configuration, spool and
# socket under STATE, no network port) with one queue "VyxPDF" on the cups-pdf backend, the
# daemon's default. Programs reach it through CUPS_SERVER=STATE/cups.sock; the printed PDFs land in
# STATE/pdf a moment after the job ends. Nothing of the machine's own CUPS is used or touched.
#
#   scripts/pdf-printer.sh start STATE   starts the daemon (unless this STATE's runs), adds the queue
#   scripts/pdf-printer.sh stop STATE    stops the daemon this STATE's start left, by its recorded id
#
# Without CUPS or cups-pdf installed, start says so and does nothing (no printer then).
set -u
if [ $# -ne 2 ]; then
    echo "usage: $0 start|stop STATE" >&2
    exit 2
fi
action=$1
state=$(realpath -m "$2")
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO="sudo -n"
# cups-pdf reads the instance's configuration from its fixed folder; the instance is named after
# the state folder, so sessions of several build trees never share an output folder.
instance="vyx$(printf '%s' "$state" | sha1sum | cut -c1-10)"
instance_conf="/etc/cups/cups-pdf-$instance.conf"
socket="$state/cups.sock"
pidfile="$state/cupsd.pid"

daemon_alive() {
    local pid
    pid=$(cat "$pidfile" 2>/dev/null) || return 1
    [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = cupsd ]
}

stop() {
    if daemon_alive; then
        local pid waited=0
        pid=$(cat "$pidfile")
        $SUDO kill "$pid" 2>/dev/null
        while [ -d "/proc/$pid" ] && [ $waited -lt 100 ]; do
            sleep 0.1
            waited=$((waited + 1))
        done
    fi
    rm -f "$pidfile" "$socket"
    [ -f "$instance_conf" ] && $SUDO rm -f "$instance_conf"
    return 0
}

start() {
    if daemon_alive && [ -S "$socket" ]; then
        return 0
    fi
    stop
    if ! command -v cupsd >/dev/null || [ ! -x /usr/lib/cups/backend/cups-pdf ]; then
        echo "pdf-printer: CUPS or cups-pdf is not installed; no printer" >&2
        return 0
    fi
    local ppd
    ppd=$(ls /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd /usr/share/ppd/cups-pdf/*.ppd 2>/dev/null | head -n 1)
    mkdir -p "$state"/{root,spool,cache,state,log,temp,pdf}
    chmod 1777 "$state/temp"
    rm -f "$state"/pdf/*.pdf
    cat >"$state/cups-files.conf" <<EOF
ServerRoot $state/root
RequestRoot $state/spool
CacheDir $state/cache
StateDir $state/state
TempDir $state/temp
ErrorLog $state/log/error_log
AccessLog $state/log/access_log
PageLog $state/log/page_log
Printcap $state/printcap
SystemGroup root lpadmin
EOF
    cat >"$state/cupsd.conf" <<EOF
Listen $socket
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    # Every job gets a file of its own ("-job_N" after the title).
    printf 'Out %s\nAnonDirName %s\nLog %s\nLabel 2\n' "$state/pdf" "$state/pdf" "$state/log" |
        $SUDO tee "$instance_conf" >/dev/null || { echo "pdf-printer: cannot write $instance_conf" >&2; return 0; }
    # In the foreground, so that the id recorded is the daemon's own; in a process session of its
    # own, so that nothing that ends the caller's processes takes it along.
    $SUDO sh -c 'echo $$ >"$1"; exec setsid cupsd -f -c "$2/cupsd.conf" -s "$2/cups-files.conf"' \
        sh "$pidfile" "$state" </dev/null >>"$state/log/stdout" 2>&1 &
    local waited=0
    while [ ! -S "$socket" ] && [ $waited -lt 300 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    if [ ! -S "$socket" ]; then
        echo "pdf-printer: the CUPS daemon did not start (see $state/log)" >&2
        stop
        return 0
    fi
    CUPS_SERVER="$socket" lpadmin -p VyxPDF -v "cups-pdf:/$instance" -P "$ppd" -E 2>/dev/null &&
        CUPS_SERVER="$socket" lpadmin -d VyxPDF ||
        echo "pdf-printer: the PDF queue could not be added (see $state/log)" >&2
    return 0
}

case "$action" in
start) start ;;
stop) stop ;;
*)
    echo "usage: $0 start|stop STATE" >&2
    exit 2
    ;;
esac
