#!/usr/bin/env bash
# Runs a command inside the Wine session of a prefix: one X display and one wineserver that every
# run in that prefix shares. The first run to enter starts them; the last one to leave ends them,
# so runs side by side (a test run and the program, two test executables) never end each other's
# programs. Inside, DISPLAY and WINEPREFIX name the session.
#
#   scripts/wine-session.sh PREFIX COMMAND [ARGS...]
#
# A caller with a DISPLAY of its own lends it to a session it starts; otherwise the session runs
# its own Xvfb. The session also runs a PDF printer of its own (scripts/pdf-printer.sh): inside,
# CUPS_SERVER names it and VYX_PDF_OUT the folder its PDFs land in.
set -u
if [ $# -lt 2 ]; then
    echo "usage: $0 PREFIX COMMAND [ARGS...]" >&2
    exit 2
fi
prefix=$1
shift
scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
printer="$prefix.cups" # the session's printer daemon and its output
state="$prefix.session"    # "display xvfb-pid" of the running session
mutex="$prefix.session-lock" # held while a run enters or leaves
users="$prefix.session-users" # held shared by every run inside

export WINEPREFIX="$prefix" WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The 64-bit twin's prefix (scripts/setup.sh) is served by the 64-bit loader alone.
if grep -qx '#arch=win64' "$prefix/system.reg" 2>/dev/null; then
    export WINEARCH=win64 PATH="$scripts/wine64:$PATH"
fi

end_session() {
    local display="" pid=""
    [ -f "$state" ] && read -r display pid <"$state"
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    "$scripts/pdf-printer.sh" stop "$printer" {mutex_fd}>&- {users_fd}>&-
    # Only the Xvfb this script started, by its recorded id.
    if [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]; then
        kill "$pid" 2>/dev/null
    fi
    rm -f "$state"
}

start_session() {
    local display pid=""
    if [ -n "${DISPLAY:-}" ]; then
        display=${DISPLAY#:}
    else
        local ready
        ready=$(mktemp "${TMPDIR:-/tmp}/vyx-display.XXXXXX")
        # Its own process session: a test killed on time-out takes nothing of the session along.
        setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$ready" >/dev/null 2>&1 \
            {mutex_fd}>&- {users_fd}>&- &
        pid=$!
        local waited=0
        while [ ! -s "$ready" ] && kill -0 "$pid" 2>/dev/null && [ $waited -lt 600 ]; do
            sleep 0.1
            waited=$((waited + 1))
        done
        display=$(head -n 1 "$ready")
        rm -f "$ready"
        if [ -z "$display" ]; then
            echo "wine-session: Xvfb did not start" >&2
            kill "$pid" 2>/dev/null
            return 1
        fi
    fi
    echo "$display $pid" >"$state"
    # A persistent server outlives the gaps between one test program and the next.
    DISPLAY=":$display" setsid wineserver -p {mutex_fd}>&- {users_fd}>&-
    "$scripts/pdf-printer.sh" start "$printer" {mutex_fd}>&- {users_fd}>&-
}

exec {mutex_fd}>>"$mutex" {users_fd}>>"$users"
flock -x "$mutex_fd"
if flock -n -x "$users_fd"; then
    # Nobody is inside: whatever is left belongs to runs that ended without leaving.
    end_session
    if ! start_session; then
        flock -u "$users_fd"
        exit 1
    fi
fi
# Holding the mutex, nobody can take the users lock between these two steps.
flock -s "$users_fd"
flock -u "$mutex_fd"
read -r display _ <"$state"
export DISPLAY=":$display" VYX_WINE_SESSION="$prefix"
if [ -S "$printer/cups.sock" ]; then
    export CUPS_SERVER="$(realpath "$printer/cups.sock")" VYX_PDF_OUT="$(realpath "$printer/pdf")"
fi

leave() {
    flock -x "$mutex_fd"
    flock -u "$users_fd"
    if flock -n -x "$users_fd"; then
        end_session
        flock -u "$users_fd"
    fi
    flock -u "$mutex_fd"
}
trap leave EXIT
trap 'exit 130' INT TERM

# The programs must not inherit the locks: a leftover Wine process would hold the session open.
"$@" {mutex_fd}>&- {users_fd}>&-
exit $?
