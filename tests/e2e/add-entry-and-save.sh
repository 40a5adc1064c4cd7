#!/usr/bin/env bash
# Starts pacequill on a new log, adds an entry through Edit > Add Entry... with real key input: distance and
# time, Enter to calculate the pace, the calculated pace copied into two lines of notes, a typed date, OK. Then
# saves with Alt+F, S and checks the file's bytes.
# Usage: add-entry-and-save.sh <pacequill>
set -euo pipefail
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$0" "$@"
program=${E2E_ARGS[0]}

# A log that does not exist yet opens empty under its name, so Save writes it without asking for a name.
e2e_open_main "Pacequill 3.1 - runs" "$program" "$E2E_WORK/runs.pquil"
e2e_menu "$E2E_MAIN" e a
editor=$(e2e_wait_window "Pacequill Calculator")
e2e_activate "$editor"

# The focus starts in Distance; the tab order runs Distance, unit list, Hours, Minutes, Seconds.
e2e_type "6.2"
e2e_keys Tab Tab Tab
e2e_type "45"
e2e_keys Tab
e2e_type "30"
# Enter presses Calculate, the default button: 6.2 miles in 45:30 is a pace of 7:20.32 per mile.
e2e_keys Return
[ -z "$(e2e_find "Pace Calculation Error")" ] || e2e_fail "Calculate found no distance or time"

# Copy pace minutes, then pace seconds, into Notes (tabbing into a field selects its text).
e2e_keys Tab ctrl+c Tab Tab Tab
e2e_type "Pace "
e2e_keys ctrl+v
e2e_type ":"
e2e_keys shift+Tab shift+Tab ctrl+c Tab Tab
e2e_keys ctrl+v Return
e2e_type "Windy"
# From Notes to the calculation mode and the date, which holds today's date: replace it.
e2e_keys Tab Tab
e2e_type "2024/03/05"
e2e_keys alt+o
e2e_wait_gone "Pacequill Calculator"

e2e_menu "$E2E_MAIN" f s
e2e_log expected.pquil '2024/03/05\t6.2 Miles\t00:45:30\tPace 7:20.32\r\nWindy'
e2e_expect_bytes runs.pquil expected.pquil
kill -0 "$E2E_PID" || e2e_fail "the program ended"
