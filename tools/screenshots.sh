#!/usr/bin/env bash
# Takes the README's screenshots under a virtual X server with a window manager: the main window on the sample log,
# the entry editor opened with Edit > Modify Entry... on a row, the statistics dialog on its Weekly tab, and the
# About box as it shows on an ordinary screen and, drawn at twice the size, on a high-density one.
# Usage: tools/screenshots.sh [pacequill [output folder]]
#   defaults: build/src/gui/pacequill and docs/screenshots
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/screenshot-lib.sh"
screenshots_begin "$0" "$@"

# The row the editor opens on, counted from the top of the sample log.
EDITED_ROW=2

cp "$root/examples/sample.pquil" sample.pquil
e2e_open_main "Pacequill 3.1 - sample" "$program" sample.pquil
e2e_activate "$E2E_MAIN"
e2e_click_row "$EDITED_ROW"
shoot "$E2E_MAIN" main-window.png

e2e_menu "$E2E_MAIN" e m
editor=$(e2e_wait_window "Pacequill Calculator")
e2e_activate "$editor"
shoot "$editor" entry-editor.png
e2e_keys alt+a
e2e_wait_gone "Pacequill Calculator"

e2e_menu "$E2E_MAIN" s w
stats=$(e2e_wait_window "Pacequill Statistics")
e2e_activate "$stats"
shoot "$stats" statistics-weekly.png
e2e_keys Escape
e2e_wait_gone "Pacequill Statistics"

# shoot_about <file> [environment...]: Help > About... in a program started with the given environment.
shoot_about() {
    local file=$1
    shift
    e2e_open_main "Pacequill 3.1" env "$@" "$program"
    e2e_menu "$E2E_MAIN" h a
    about=$(e2e_wait_window "About Pacequill")
    e2e_activate "$about"
    shoot "$about" "$file"
    e2e_keys Escape
    e2e_wait_gone "About Pacequill"
    e2e_activate "$E2E_MAIN"
    e2e_keys alt+F4
    e2e_wait_exit "$E2E_PID"
}
e2e_activate "$E2E_MAIN"
e2e_keys alt+F4
e2e_wait_exit "$E2E_PID"
shoot_about about-box.png
shoot_about about-box@2x.png QT_SCALE_FACTOR=2
