#!/usr/bin/env bash
# Starts pacequill on a small log with its accessibility bridge on, in a private D-Bus session with its own AT-SPI
# bus, and reads it through the accessibility tree the way a screen reader does (atspi-read-tree.py): the rows of
# the log list must equal the log's records, and the statistics dialog and the About box, opened with real key
# input, must show their controls by accessible name.
# Usage: atspi-log-and-dialog.sh <pacequill>
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# The Debian interpreter: pyatspi and the Atspi introspection data are Debian packages.
python=/usr/bin/python3

# A session bus of this run only, so no desktop session is needed and none is touched.
if [ -z "${PACEQUILL_E2E_SESSION_BUS:-}" ]; then
    export PACEQUILL_E2E_SESSION_BUS=1
    exec dbus-run-session -- "$0" "$@"
fi

# shellcheck source=lib/e2e.sh
. "$here/lib/e2e.sh"
e2e_begin "$0" "$@"
program=${E2E_ARGS[0]}

# Asking for the accessibility bus starts it through D-Bus activation (at-spi-bus-launcher, which starts the
# registry on it); both end with this session's bus.
address=
for _ in $(seq "$E2E_WAIT_STEPS"); do
    address=$(dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        2>/dev/null | sed -n 's/^ *string "\(.*\)"$/\1/p') || true
    [ -n "$address" ] && break
    sleep 0.1
done
[ -n "$address" ] || e2e_fail "the AT-SPI bus did not start"

export QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
log="$E2E_WORK/runs.pquil"
{
    printf 'Pacequill version 3.1 log file format\r\n'
    printf '\2412024/03/02\t5 Miles\t00:40:00\tEasy\r\n'
    printf '\2412024/03/04\t10 Kilometers\t00:52:30\tCaf\351 loop\r\n'
    printf '\2412024/03/09\t1 Marathons\t03:30:00\tNone\r\n'
} >"$log"

# Started as e2e_open_main does, but the splash is left to close itself (3 s): a click on it leaves the Alt key
# of the next menu without effect while the accessibility bridge is on.
e2e_start "$program" "$log"
E2E_MAIN=$(e2e_wait_window "Pacequill 3.1 - runs")
for _ in $(seq "$E2E_WAIT_STEPS"); do
    [ -z "$(e2e_splash_of "$E2E_PID")" ] && break
    sleep 0.1
done
[ -z "$(e2e_splash_of "$E2E_PID")" ] || e2e_fail "the splash did not close"
"$python" "$here/atspi-read-tree.py" "$E2E_PID" list "$log"

# A dialog opened from the menu bar, read, then closed: <menu letter> <item letter> <caption> <closing key>.
read_dialog() {
    local dialog
    e2e_menu "$E2E_MAIN" "$1" "$2"
    dialog=$(e2e_wait_window "$3")
    "$python" "$here/atspi-read-tree.py" "$E2E_PID" dialog "$3"
    e2e_activate "$dialog"
    e2e_keys "$4"
    e2e_wait_gone "$3"
}
read_dialog s w "Pacequill Statistics" Escape
read_dialog h a "About Pacequill" Return

kill -0 "$E2E_PID" || e2e_fail "the program ended"
echo "log list and dialogs read through AT-SPI"
