#!/usr/bin/env bash
# Duplicate, Modify and Delete as a user reaches them: Edit > Duplicate Entry, a double click on a row that opens
# the editor on it, and Edit > Delete Entry... whose question is answered first with Return (No, the default),
# then with Alt+Y. After each step File > Save, and the file's bytes show the rows in their new order.
# Usage: entry-commands.sh <installed pacequill>
set -euo pipefail
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$0" "$@"
program=${E2E_ARGS[0]}

long='2024/03/10\t10 Miles\t01:20:00\tLong'
easy='2024/03/01\t3 Miles\t00:24:00\tEasy'
tempo='2024/03/05\t6 Miles\t00:45:30\tTempo'
e2e_log runs.pquil "$long" "$easy" "$tempo"
title="Pacequill 3.1 - runs"

save_and_expect() {
    e2e_menu "$E2E_MAIN" f s
    e2e_log expected.pquil "$@"
    e2e_expect_bytes runs.pquil expected.pquil
    e2e_expect_title "$E2E_MAIN" "$title"
}

e2e_open_main "$title" "$program" runs.pquil

# The last row is selected after loading: its copy goes to the end.
e2e_menu "$E2E_MAIN" e u
save_and_expect "$long" "$easy" "$tempo" "$tempo"

# A double click on the first row opens the editor on it; the notes are replaced. The edited row leaves its place
# and becomes the last one.
e2e_activate "$E2E_MAIN"
e2e_click_row 0 2
editor=$(e2e_wait_window "Pacequill Calculator")
e2e_activate "$editor"
# From Distance to Notes: unit, Hours, Minutes, Seconds, pace Minutes, pace Seconds, pace unit, Notes.
e2e_keys Tab Tab Tab Tab Tab Tab Tab Tab ctrl+a
e2e_type "Long run"
e2e_keys alt+o
e2e_wait_gone "Pacequill Calculator"
modified='2024/03/10\t10 Miles\t01:20:00\tLong run'
save_and_expect "$easy" "$tempo" "$tempo" "$modified"

# Delete the second row: No keeps it, Yes removes it.
e2e_activate "$E2E_MAIN"
e2e_click_row 1
for answer in Return alt+y; do
    e2e_menu "$E2E_MAIN" e d
    question=$(e2e_wait_window "Delete Entry")
    e2e_activate "$question"
    e2e_keys "$answer"
    e2e_wait_gone "Delete Entry"
    if [ "$answer" = Return ]; then
        save_and_expect "$easy" "$tempo" "$tempo" "$modified"
    fi
done
save_and_expect "$easy" "$tempo" "$modified"

kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended"
echo "duplicate, modify by double click, delete answered No then Yes"
