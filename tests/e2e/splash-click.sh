#!/usr/bin/env bash
# A click on the splash closes it and does nothing else: the main window keeps the keyboard, so Alt+F typed
# right after the click opens the File menu without the user clicking the main window first.
# Usage: splash-click.sh <installed pacequill>
set -euo pipefail
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$0" "$@"
program=${E2E_ARGS[0]}

e2e_start "$program"
E2E_MAIN=$(e2e_wait_window "Pacequill 3.1")
splash=""
for _ in $(seq "$E2E_WAIT_STEPS"); do
    splash=$(e2e_captionless_of "$E2E_PID")
    [ -n "$splash" ] && break
    sleep 0.1
done
[ -n "$splash" ] || e2e_fail "the splash did not show"
xdotool mousemove --window "$splash" 150 80 click 1
for _ in $(seq "$E2E_WAIT_STEPS"); do
    [ -z "$(e2e_captionless_of "$E2E_PID")" ] && break
    sleep 0.1
done
[ -z "$(e2e_captionless_of "$E2E_PID")" ] || e2e_fail "the click did not close the splash"

# No activation of the main window here: the keys must reach it by themselves.
e2e_keys alt+f
e2e_wait_popup_menu "$E2E_MAIN"
e2e_keys Escape Escape
e2e_expect_title "$E2E_MAIN" "Pacequill 3.1"
