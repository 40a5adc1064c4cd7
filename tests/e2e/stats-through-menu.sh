#!/usr/bin/env bash
# Starts pacequill with a log that holds one row whose unit word the totals do not know, opens Stats > Weekly
# with the keyboard as a user would, and checks what the weekly refresh did without looking at pixels: it met
# that row once ("Running totals error", caption "Debug", exactly once), and the statistics dialog is open.
# Escape then closes the dialog and Help > About opens the About box.
# Usage: stats-through-menu.sh <pacequill>
set -euo pipefail
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$0" "$@"
program=${E2E_ARGS[0]}

e2e_log runs.pquil '1998/03/02\t3.1 Miles\t00:25:00\tNone' '1998/03/04\t4 miles\t00:30:00\tNone' \
    '1998/03/09\t1 Marathons\t03:30:00\tNone'
e2e_open_main "Pacequill 3.1 - runs" "$program" runs.pquil

e2e_menu "$E2E_MAIN" s w
debug=$(e2e_wait_window "Debug")
sleep 0.5
[ "$(e2e_count Debug)" -eq 1 ] || e2e_fail "more than one message box"
e2e_activate "$debug"
e2e_keys Return

stats=$(e2e_wait_window "Pacequill Statistics")
sleep 0.5
[ "$(e2e_count Debug)" -eq 0 ] || e2e_fail "the weekly list reported the row more than once"

# Escape reaches the modal dialog and closes it.
e2e_activate "$stats"
e2e_keys Escape
e2e_wait_gone "Pacequill Statistics"

e2e_menu "$E2E_MAIN" h a
about=$(e2e_wait_window "About Pacequill")
e2e_activate "$about"
e2e_keys Return
e2e_wait_gone "About Pacequill"

kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended"
echo "Stats > Weekly and Help > About through the keyboard"
