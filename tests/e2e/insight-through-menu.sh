#!/usr/bin/env bash
# Starts pacequill with a log of the last days' runs, opens Stats > Charts... and Stats > Records... with the
# keyboard as a user would, and checks that both windows open beside the main window (which stays usable), that
# choosing the command again brings the open window back instead of opening a second one, and that the Records
# window selects a record's row in the list: Enter on the first record (the mile) selects its row, which
# Edit > Delete Entry... then removes (the saved log lacks just that row).
# Usage: insight-through-menu.sh <pacequill>
set -euo pipefail
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$0" "$@"
program=${E2E_ARGS[0]}

day() { date -d "$1 days ago" +%Y/%m/%d; }
fivek="$(day 3)\\t5 Kilometers\\t00:24:00\\tNone"
mile="$(day 2)\\t1 Miles\\t00:07:00\\tmile"
tenk="$(day 1)\\t10 Kilometers\\t00:50:00\\tNone"
undated='No Date\t2 Miles\t00:16:00\tNone'
e2e_log runs.pquil "$fivek" "$mile" "$tenk" "$undated"
e2e_open_main "Pacequill 3.1 - runs" "$program" runs.pquil

e2e_menu "$E2E_MAIN" s c
charts=$(e2e_wait_window "Charts - Pacequill")
e2e_activate "$E2E_MAIN"
e2e_menu "$E2E_MAIN" s c
sleep 0.5
[ "$(e2e_count "Charts - Pacequill")" -eq 1 ] || e2e_fail "a second Charts window opened"

e2e_activate "$E2E_MAIN"
e2e_menu "$E2E_MAIN" s r
records=$(e2e_wait_window "Records - Pacequill")
e2e_activate "$records"
# The window opens with the keys in its records table: the first record, and Enter.
e2e_keys ctrl+Home Return
sleep 0.5

e2e_menu "$E2E_MAIN" e d
question=$(e2e_wait_window "Delete Entry")
e2e_activate "$question"
e2e_keys alt+y
e2e_wait_gone "Delete Entry"
e2e_menu "$E2E_MAIN" f s
e2e_log expected.pquil "$fivek" "$tenk" "$undated"
e2e_expect_bytes runs.pquil expected.pquil

kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended"
[ -n "$charts" ] && [ -n "$records" ] || e2e_fail "a window was not found"
echo "Stats > Charts and Stats > Records through the keyboard"
