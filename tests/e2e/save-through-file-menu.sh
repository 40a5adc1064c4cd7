#!/usr/bin/env bash
# Starts pacequill with a log of an earlier version on its command line, checks the window title, saves with
# Alt+F, S as a user would, and checks that the file now holds the log in the current layout.
# Usage: save-through-file-menu.sh <pacequill> <old-headerless.pql>
set -euo pipefail
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$0" "$@"
program=${E2E_ARGS[0]}
cp "${E2E_ARGS[1]}" "old log.pql"

# The caption names the file without its folder and extension.
e2e_open_main "Pacequill 3.1 - old log" "$program" "$E2E_WORK/old log.pql"

# The program registers itself on an ordinary start.
grep -q "DefaultIcon" "$PACEQUILL_CONFIG_DIR/classes-root.ini" || e2e_fail "not registered"

e2e_menu "$E2E_MAIN" f s
e2e_log expected.pquil '1996/07/04\t6.2 Miles\t00:45:10\tHot day' \
    '2003/07/04\t10 Kilometers\t00:50:00\tFirst line\r\nSecond line' 'No Date\t1 Marathons\t03:30:00\tNone' \
    '2079/12/31\t3 Miles\t00:21:00\tNone' '1980/01/01\t4 Miles\t00:30:00\tNew year'
e2e_expect_bytes "old log.pql" expected.pquil

# The program is still running and its title unchanged.
kill -0 "$E2E_PID" || e2e_fail "the program ended"
e2e_expect_title "$E2E_MAIN" "Pacequill 3.1 - old log"
