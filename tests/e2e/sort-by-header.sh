#!/usr/bin/env bash
# Sorting the log by clicking column headers with the mouse: Date ascending, Date again for descending, then
# Notes. After each sort File > Save writes the rows in the order shown, which the file's bytes must follow. A
# sort alone is no change: closing afterwards asks nothing.
# Usage: sort-by-header.sh <installed pacequill>
set -euo pipefail
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$0" "$@"
program=${E2E_ARGS[0]}

long='2024/03/10\t10 Miles\t01:20:00\tLong'
easy='2024/03/01\t3 Miles\t00:24:00\tEasy'
tempo='2024/03/05\t6 Miles\t00:45:30\tTempo'
e2e_log runs.pquil "$long" "$easy" "$tempo"

e2e_open_main "Pacequill 3.1 - runs" "$program" runs.pquil

# sort_and_save <column> <records in the expected order>...
sort_and_save() {
    local column=$1
    shift
    e2e_activate "$E2E_MAIN"
    e2e_click_header "$column"
    e2e_menu "$E2E_MAIN" f s
    e2e_log expected.pquil "$@"
    e2e_expect_bytes runs.pquil expected.pquil
    e2e_expect_title "$E2E_MAIN" "Pacequill 3.1 - runs"
}

sort_and_save 0 "$easy" "$tempo" "$long"
sort_and_save 0 "$long" "$tempo" "$easy"
sort_and_save 3 "$easy" "$long" "$tempo"

# Sorting after the save changes nothing that needs saving: the program closes without a question.
e2e_click_header 1
e2e_keys alt+F4
e2e_wait_exit "$E2E_PID"
e2e_expect_bytes runs.pquil expected.pquil
echo "sorted by Date, Date descending and Notes with header clicks; each save kept the order shown"
