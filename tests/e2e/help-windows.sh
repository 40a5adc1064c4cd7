#!/usr/bin/env bash
# Help windows and the life of the program: help opened with Help > Using Pacequill closes when the program
# closes; help opened with F1 stays open after the program has gone. The viewer is found by its window title; it
# listens in this script's own runtime folder, so a viewer of the user's is never reached, and the clean-up ends
# the one left open.
# Usage: help-windows.sh <installed pacequill>
set -euo pipefail
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$0" "$@"
program=${E2E_ARGS[0]}
viewer="Pacequill Help.*"

# Help > Using Pacequill, then File > Exit: the viewer goes with the program.
e2e_open_main "Pacequill 3.1" "$program"
e2e_menu "$E2E_MAIN" h p
e2e_wait_window "$viewer" >/dev/null
e2e_menu "$E2E_MAIN" f x
e2e_wait_exit "$E2E_PID"
e2e_wait_gone "$viewer"
for _ in $(seq "$E2E_WAIT_STEPS"); do
    [ -z "$(e2e_viewer_pids)" ] && break
    sleep 0.1
done
[ -z "$(e2e_viewer_pids)" ] || e2e_fail "the help viewer still runs after the program closed it"

# F1 in the main window, then File > Exit: the viewer stays.
e2e_open_main "Pacequill 3.1" "$program"
e2e_activate "$E2E_MAIN"
e2e_keys F1
help_window=$(e2e_wait_window "$viewer")
e2e_menu "$E2E_MAIN" f x
e2e_wait_exit "$E2E_PID"
sleep 1
[ -n "$(e2e_find "$viewer")" ] || e2e_fail "the help window opened with F1 closed with the program"
xdotool getwindowname "$help_window" >/dev/null || e2e_fail "the help window opened with F1 is gone"
echo "help from the menu closes with the program; help from F1 stays"
