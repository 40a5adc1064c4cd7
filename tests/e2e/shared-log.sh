#!/usr/bin/env bash
# The window and pquil on one log: Ctrl+D duplicates the last row and leaves it unsaved, pquil import --append adds
# a run meanwhile, and Ctrl+S asks what the save takes from the disk; Return (Yes) writes both runs.
# Usage: shared-log.sh <installed pacequill>
set -euo pipefail
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$0" "$@"
program=${E2E_ARGS[0]}
pquil=$(dirname "$program")/pquil

easy='2024/03/01\t3 Miles\t00:24:00\tEasy'
tempo='2024/03/05\t6 Miles\t00:45:30\tTempo'
imported='2024/03/12\t5 Miles\t00:40:00\tImported'
e2e_log runs.pquil "$easy" "$tempo"
printf 'Date,Distance,Time,Notes\r\n2024/03/12,5 Miles,00:40:00,Imported\r\n' >run.csv

e2e_open_main "Pacequill 3.1 - runs" "$program" runs.pquil
e2e_activate "$E2E_MAIN"
e2e_keys ctrl+d
"$pquil" import run.csv runs.pquil --append || e2e_fail "pquil import failed"

e2e_activate "$E2E_MAIN"
e2e_keys ctrl+s
question=$(e2e_wait_window "Save")
e2e_activate "$question"
e2e_keys Return
e2e_wait_gone "Save"
e2e_log expected.pquil "$easy" "$tempo" "$tempo" "$imported"
e2e_expect_bytes runs.pquil expected.pquil
kill -0 "$E2E_PID" || e2e_fail "the program ended"
