#!/usr/bin/env bash
# Takes the README's screenshots of the windows around the log under a virtual X server (1280x900) with a window
# manager, on the sample log: the Charts window's tabs (the training load among them) with the sample's weeks and with none of its runs in the
# period shown, the Records window and the review of an import. Each is taken three times: as usual, drawn at
# twice the size (name@2x.png) and in a dark palette (name-dark.png, through the qt6ct platform theme). The program
# runs with its clock on the last day of the sample year, or half a year after it for the empty charts (through
# libfaketime, Debian's faketime package).
# Usage: tools/screenshot-charts.sh [pacequill [output folder]]
#   defaults: build/src/gui/pacequill and docs/screenshots
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/screenshot-lib.sh"
E2E_SCREEN="1280x900x24"
screenshots_begin "$0" "$@"

FAKETIME_LIBRARY=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
[ -e "$FAKETIME_LIBRARY" ] || e2e_fail "libfaketime is missing (apt-get install faketime)"
[ -e /usr/lib/x86_64-linux-gnu/qt6/plugins/platformthemes/libqt6ct.so ] ||
    e2e_fail "the qt6ct platform theme is missing (apt-get install qt6ct)"
SAMPLE_TODAY="@2023-12-31 12:00:00"
LATER_TODAY="@2024-06-30 12:00:00"

cp "$root/examples/sample.pquil" sample.pquil
cp "$root"/tests/data/import/* .
mkdir -p dark/qt6ct
cat >dark/qt6ct/qt6ct.conf <<CONF
[Appearance]
color_scheme_path=/usr/share/qt6ct/colors/darker.conf
custom_palette=true
style=Fusion
CONF

# start <today> <environment...>: the program on the sample log with its clock on that day.
start() {
    local today=$1
    shift
    e2e_open_main "Pacequill 3.1 - sample" env "$@" LD_PRELOAD="$FAKETIME_LIBRARY" FAKETIME="$today" \
        FAKETIME_DONT_FAKE_MONOTONIC=1 "$program" sample.pquil
}

stop() {
    kill "$E2E_PID"
    wait "$E2E_PID" 2>/dev/null || true
}

# shoot_all <suffix> <environment...>: every screenshot, named with the suffix.
shoot_all() {
    local suffix=$1 charts records review
    shift
    start "$SAMPLE_TODAY" "$@"
    e2e_menu "$E2E_MAIN" s c
    charts=$(e2e_wait_window "Charts - Pacequill")
    e2e_activate "$charts"
    shoot "$charts" "charts-weekly$suffix.png"
    e2e_keys alt+y
    shoot "$charts" "charts-year-over-year$suffix.png"
    e2e_keys alt+c
    shoot "$charts" "charts-consistency$suffix.png"
    e2e_keys alt+l
    shoot "$charts" "charts-training-load$suffix.png"
    e2e_activate "$E2E_MAIN"
    e2e_menu "$E2E_MAIN" s r
    records=$(e2e_wait_window "Records - Pacequill")
    e2e_activate "$records"
    shoot "$records" "records$suffix.png"
    e2e_activate "$E2E_MAIN"
    e2e_menu "$E2E_MAIN" f i
    e2e_file_dialog "Import Activities" '"brick.tcx" "session.fit" "two-segments.gpx"'
    review=$(e2e_wait_window "Import Activities")
    e2e_activate "$review"
    shoot "$review" "import-review$suffix.png"
    e2e_keys Escape
    stop

    start "$LATER_TODAY" "$@"
    e2e_menu "$E2E_MAIN" s c
    charts=$(e2e_wait_window "Charts - Pacequill")
    e2e_activate "$charts"
    shoot "$charts" "charts-weekly-empty$suffix.png"
    e2e_keys alt+c
    shoot "$charts" "charts-consistency-empty$suffix.png"
    stop
}

shoot_all ""
shoot_all "@2x" QT_SCALE_FACTOR=2
shoot_all "-dark" QT_QPA_PLATFORMTHEME=qt6ct XDG_CONFIG_HOME="$E2E_WORK/dark"
