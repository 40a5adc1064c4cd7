#!/usr/bin/env bash
# The registration of the program's icon as a user meets it: an ordinary start writes it into the registry file
# under $PACEQUILL_CONFIG_DIR, a start with -unregister removes it (and still shows the main window, whose log is
# the file named by the whole command line), and the next ordinary start writes it again.
# Usage: unregister.sh <installed pacequill>
set -euo pipefail
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$0" "$@"
program=$(readlink -f "${E2E_ARGS[0]}")
store="$PACEQUILL_CONFIG_DIR/classes-root.ini"

# The registry file as QSettings writes it: the key's default value holds the program's path and icon index.
printf '[Pacequill.Application]\nDefaultIcon\\Default="%s,1"\n' "$program" >registered.ini

# run_and_exit <title> <arguments>...: starts the program, waits for its window, leaves through File > Exit.
run_and_exit() {
    local title=$1
    shift
    e2e_open_main "$title" "$program" "$@"
    e2e_menu "$E2E_MAIN" f x
    e2e_wait_exit "$E2E_PID"
}

[ ! -e "$store" ] || e2e_fail "a registry file exists before the first start"
run_and_exit "Pacequill 3.1"
e2e_expect_bytes "$store" registered.ini

run_and_exit "Pacequill 3.1 - -unregister" -unregister
if grep -q DefaultIcon "$store"; then
    cat "$store" >&2
    e2e_fail "-unregister left the icon registered"
fi
[ ! -e ./-unregister ] || e2e_fail "the option was created as a log file"

run_and_exit "Pacequill 3.1"
e2e_expect_bytes "$store" registered.ini
echo "registered on an ordinary start, removed by -unregister, registered again"
