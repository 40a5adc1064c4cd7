#!/usr/bin/env bash
# Starts pacequill on a new log, imports a TCX, a FIT and a GPX file and a CSV file of pquil export's columns
# through File > Import Activities... with a typed multiple selection, accepts the review as it comes (runs ticked,
# the ride not), saves with Alt+F, S and checks the file's bytes.
# Usage: import-through-menu.sh <pacequill> <brick.tcx> <session.fit> <two-segments.gpx>
set -euo pipefail
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$0" "$@"
program=${E2E_ARGS[0]}
cp "${E2E_ARGS[1]}" "${E2E_ARGS[2]}" "${E2E_ARGS[3]}" .
# Dates are the local days the activities started.
export TZ=UTC
printf 'Date,Distance,Time,Notes\r\n2025/06/20,5 Kilometers,00:25:00,"Park, with Ann"\r\n' > rows.csv

e2e_open_main "Pacequill 3.1 - runs" "$program" "$E2E_WORK/runs.pquil"
e2e_menu "$E2E_MAIN" f i
e2e_file_dialog "Import Activities" '"brick.tcx" "session.fit" "two-segments.gpx" "rows.csv"'
review=$(e2e_wait_window "Import Activities")
e2e_activate "$review"
e2e_keys Return
e2e_wait_gone "Import Activities"

e2e_menu "$E2E_MAIN" f s
e2e_log expected.pquil '2025/06/14\t2.00 Miles\t00:14:06\tRunning' '2025/06/04\t3.11 Miles\t00:30:01\tRunning' \
    '2025/06/14\t2.07 Miles\t00:15:00\tTempo & hills' '2025/06/20\t5 Kilometers\t00:25:00\tPark, with Ann'
e2e_expect_bytes runs.pquil expected.pquil
kill -0 "$E2E_PID" || e2e_fail "the program ended"
