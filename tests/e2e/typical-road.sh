#!/usr/bin/env bash
# The typical road through the installed program: on a new log, Edit > Add Entry... opens the calculator, which
# computes the time of 10 km at 5:00 per km; OK adds the entry; File > Save asks for a name in the Save As
# dialog, where a name without extension is typed; File > New, then File > Open brings the file back by name;
# Stats > Weekly... shows the statistics dialog. Checks the window titles on the way and the saved bytes.
# Usage: typical-road.sh <installed pacequill>
set -euo pipefail
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$0" "$@"
program=${E2E_ARGS[0]}

e2e_open_main "Pacequill 3.1" "$program"

e2e_menu "$E2E_MAIN" e a
editor=$(e2e_wait_window "Pacequill Calculator")
e2e_activate "$editor"
# Tab order: Distance, unit, Hours, Minutes, Seconds, pace Minutes, pace Seconds, pace unit, Notes, mode, Date.
# In the mode Pace the pace fields are read-only: choose the mode Time first, then fill in the pace.
e2e_type "10"
e2e_keys Tab Down Tab Tab Tab Tab Tab Tab Tab
e2e_type "Tempo"
e2e_keys Tab Up Tab
e2e_type "2024/03/05"
e2e_keys shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
e2e_type "5"
e2e_keys Tab
e2e_type "00"
e2e_keys Tab Down
e2e_keys alt+c
e2e_keys alt+o
e2e_wait_gone "Pacequill Calculator"
e2e_expect_title "$E2E_MAIN" "Pacequill 3.1"

# The log is untitled, so Save asks for a name; the dialog starts in the current folder.
e2e_menu "$E2E_MAIN" f s
e2e_file_dialog "Save As" "tempo runs"
e2e_expect_title "$E2E_MAIN" "Pacequill 3.1 - tempo runs"

e2e_log expected.pquil '2024/03/05\t10 Kilometers\t00:50:00.00\tTempo'
e2e_expect_bytes "tempo runs.pquil" expected.pquil

# A clean log: New asks nothing.
e2e_menu "$E2E_MAIN" f n
e2e_expect_title "$E2E_MAIN" "Pacequill 3.1"
[ -z "$(e2e_find "Contents have changed")" ] || e2e_fail "New asked about a saved log"

e2e_menu "$E2E_MAIN" f o
e2e_file_dialog "Open" "tempo runs.pquil"
e2e_expect_title "$E2E_MAIN" "Pacequill 3.1 - tempo runs"

e2e_menu "$E2E_MAIN" s w
stats=$(e2e_wait_window "Pacequill Statistics")
e2e_activate "$stats"
e2e_keys Escape
e2e_wait_gone "Pacequill Statistics"

e2e_expect_bytes "tempo runs.pquil" expected.pquil
kill -0 "$E2E_PID" || e2e_fail "the program ended"
echo "typical road: calculator, Save As by name, New, Open, Stats > Weekly"
