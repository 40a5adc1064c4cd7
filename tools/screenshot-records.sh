#!/usr/bin/env bash
# Takes the README's screenshots of the Records window on the sample log as it opens at scale 1 and 2, on a
# screen of 1366x768 logical pixels at scale 2 (so twice that in device pixels). The program runs with its clock on the last day of the sample year (through libfaketime,
# Debian's faketime package), so the sample's runs count for the predictions.
# Usage: tools/screenshot-records.sh [pacequill [output folder]]
#   defaults: build/src/gui/pacequill and docs/screenshots
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/screenshot-lib.sh"
E2E_SCREEN="2732x1536x24"
screenshots_begin "$0" "$@"

FAKETIME_LIBRARY=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
[ -e "$FAKETIME_LIBRARY" ] || e2e_fail "libfaketime is missing (apt-get install faketime)"
SAMPLE_TODAY="@2023-12-31 12:00:00"

cp "$root/examples/sample.pquil" sample.pquil

# shoot_records <file> [environment...]: the Records window as it opens, then the program closed.
shoot_records() {
    local file=$1
    shift
    e2e_open_main "Pacequill 3.1 - sample" env "$@" LD_PRELOAD="$FAKETIME_LIBRARY" FAKETIME="$SAMPLE_TODAY" \
        FAKETIME_DONT_FAKE_MONOTONIC=1 "$program" sample.pquil
    e2e_menu "$E2E_MAIN" s r
    local records
    records=$(e2e_wait_window "Records - Pacequill")
    e2e_activate "$records"
    shoot "$records" "$file"
    e2e_keys alt+F4
    e2e_wait_gone "Records - Pacequill"
    e2e_activate "$E2E_MAIN"
    e2e_keys alt+F4
    e2e_wait_exit "$E2E_PID"
}
shoot_records records.png QT_SCALE_FACTOR=1
shoot_records records@2x.png QT_SCALE_FACTOR=2
