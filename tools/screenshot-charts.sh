#!/usr/bin/env bash
# Takes the README's chart screenshots under a virtual X server with a window manager: the Charts window on the
# sample log: the weekly chart, year over year, the consistency calendar and the training load. The program runs
# with its clock on the last day of the sample year (through libfaketime, Debian's faketime package), so the
# sample's weeks are the latest ones.
# Usage: tools/screenshot-charts.sh [pacequill [output folder]]
#   defaults: build/src/gui/pacequill and docs/screenshots
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/screenshot-lib.sh"
screenshots_begin "$0" "$@"

FAKETIME_LIBRARY=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
[ -e "$FAKETIME_LIBRARY" ] || e2e_fail "libfaketime is missing (apt-get install faketime)"
SAMPLE_TODAY="@2023-12-31 12:00:00"

cp "$root/examples/sample.pquil" sample.pquil
e2e_open_main "Pacequill 3.1 - sample" env LD_PRELOAD="$FAKETIME_LIBRARY" FAKETIME="$SAMPLE_TODAY" \
    FAKETIME_DONT_FAKE_MONOTONIC=1 "$program" sample.pquil
e2e_menu "$E2E_MAIN" s c
charts=$(e2e_wait_window "Charts - Pacequill")
e2e_activate "$charts"
shoot "$charts" charts-weekly.png
e2e_keys alt+y
shoot "$charts" charts-year-over-year.png
e2e_keys alt+c
shoot "$charts" charts-consistency.png
e2e_keys alt+l
shoot "$charts" charts-training-load.png
