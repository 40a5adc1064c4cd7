#!/usr/bin/env bash
# The unsaved-changes question on New, Open and close, answered with each of its buttons, through real input:
# Return takes the default answer, Cancel; Alt+N and Alt+Y answer No and Yes. Each answer is checked in the main
# window's title, in whether the program still runs, and in the bytes of the log files.
# Usage: unsaved-changes.sh <installed pacequill>
set -euo pipefail
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$0" "$@"
program=${E2E_ARGS[0]}

first='2024/01/02\t5 Miles\t00:40:00\tEasy'
second='2024/01/04\t8 Kilometers\t00:42:10\tHills'
third='2024/02/01\t1 Marathons\t03:30:00\tRace'
e2e_log a.pquil "$first" "$second"
e2e_log b.pquil "$third"
cp a.pquil a.orig
cp b.pquil b.orig

# Duplicate the selected row (after a load, the last one): the log now has unsaved changes.
change_log() {
    e2e_menu "$E2E_MAIN" e u
}

# Waits for the question and answers it with the given keys.
answer() {
    local box
    box=$(e2e_wait_window "Contents have changed")
    e2e_activate "$box"
    e2e_keys "$@"
    e2e_wait_gone "Contents have changed"
}

e2e_open_main "Pacequill 3.1 - a" "$program" a.pquil

# New: Cancel keeps everything, No drops the change.
change_log
e2e_menu "$E2E_MAIN" f n
answer Return
e2e_expect_title "$E2E_MAIN" "Pacequill 3.1 - a"
e2e_menu "$E2E_MAIN" f n
answer alt+n
e2e_expect_title "$E2E_MAIN" "Pacequill 3.1"
e2e_expect_bytes a.pquil a.orig

# A clean log opens another without a question.
e2e_menu "$E2E_MAIN" f o
e2e_file_dialog "Open" "a.pquil"
e2e_expect_title "$E2E_MAIN" "Pacequill 3.1 - a"

# Open: Cancel shows no file dialog; No goes on to the dialog, which is cancelled in turn; Yes saves first.
change_log
e2e_menu "$E2E_MAIN" f o
answer Return
sleep 0.5
[ -z "$(e2e_find "Open")" ] || e2e_fail "the Open dialog came after Cancel"
e2e_menu "$E2E_MAIN" f o
answer alt+n
dialog=$(e2e_wait_window "Open")
e2e_activate "$dialog"
e2e_keys Escape
e2e_wait_gone "Open"
e2e_expect_title "$E2E_MAIN" "Pacequill 3.1 - a"
e2e_expect_bytes a.pquil a.orig
e2e_menu "$E2E_MAIN" f o
answer alt+y
e2e_wait_window "Open" >/dev/null
e2e_log expected-a.pquil "$first" "$second" "$second"
e2e_expect_bytes a.pquil expected-a.pquil
e2e_file_dialog "Open" "b.pquil"
e2e_expect_title "$E2E_MAIN" "Pacequill 3.1 - b"

# Close through the window manager (Alt+F4): Cancel keeps the program running. Then File > Exit, No: it ends and
# the file is as it was.
change_log
e2e_activate "$E2E_MAIN"
e2e_keys alt+F4
answer Return
kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended after Cancel"
e2e_expect_title "$E2E_MAIN" "Pacequill 3.1 - b"
e2e_menu "$E2E_MAIN" f x
answer alt+n
e2e_wait_exit "$E2E_PID"
e2e_expect_bytes b.pquil b.orig

# Close with Yes: the change is saved and the program ends.
e2e_open_main "Pacequill 3.1 - b" "$program" b.pquil
change_log
e2e_activate "$E2E_MAIN"
e2e_keys alt+F4
answer alt+y
e2e_wait_exit "$E2E_PID"
e2e_log expected-b.pquil "$third" "$third"
e2e_expect_bytes b.pquil expected-b.pquil
echo "unsaved-changes question on New, Open and close: Cancel, No and Yes"
