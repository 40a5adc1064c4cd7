#!/usr/bin/env bash
# A new user's first minutes with the keyboard: the main window stands centred by its outer frame, the common keys
# run the Edit and File commands (Ctrl+D duplicates, Delete asks first, Enter opens the editor, Insert adds, Ctrl+S
# saves), Escape after a lone Alt leaves the menu bar, and a right-click on the menu bar or the toolbar opens no
# menu of Qt's own.
# Usage: common-keys.sh <installed pacequill>
set -euo pipefail
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$0" "$@"
program=${E2E_ARGS[0]}

easy='2024/03/01\t3 Miles\t00:24:00\tEasy'
tempo='2024/03/05\t6 Miles\t00:45:30\tTempo'
e2e_log runs.pquil "$easy" "$tempo"
title="Pacequill 3.1 - runs"
e2e_open_main "$title" "$program" runs.pquil
e2e_activate "$E2E_MAIN"

# Centred by the outer frame: the window manager's borders and title bar count.
read -r left right top bottom < <(xprop -id "$E2E_MAIN" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
read -r X Y WIDTH HEIGHT < <(xwininfo -id "$E2E_MAIN" |
    awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
         /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }')
read -r screen_width screen_height < <(xdpyinfo | awk '/dimensions:/ { split($2, s, "x"); print s[1], s[2] }')
outer_width=$((WIDTH + left + right))
outer_height=$((HEIGHT + top + bottom))
expected_x=$(((screen_width - outer_width) / 2))
expected_y=$(((screen_height - outer_height) / 2))
[ "$((X - left))" -eq "$expected_x" ] && [ "$((Y - top))" -eq "$expected_y" ] ||
    e2e_fail "the frame stands at $((X - left)),$((Y - top)), centred would be $expected_x,$expected_y"

save_and_expect() {
    e2e_activate "$E2E_MAIN"
    e2e_keys ctrl+s
    e2e_log expected.pquil "$@"
    e2e_expect_bytes runs.pquil expected.pquil
}

# The last row is selected after loading; Ctrl+D copies it to the end.
e2e_keys ctrl+d
save_and_expect "$easy" "$tempo" "$tempo"

# Delete asks first: No keeps the row, Yes removes it.
for answer in Return alt+y; do
    e2e_keys Delete
    question=$(e2e_wait_window "Delete Entry")
    e2e_activate "$question"
    e2e_keys "$answer"
    e2e_wait_gone "Delete Entry"
    e2e_activate "$E2E_MAIN"
done
save_and_expect "$easy" "$tempo"

# Enter opens the selected row in the editor; Insert opens it for a new entry.
for key in Return Insert; do
    e2e_keys "$key"
    editor=$(e2e_wait_window "Pacequill Calculator")
    e2e_activate "$editor"
    e2e_keys Escape
    e2e_wait_gone "Pacequill Calculator"
    e2e_activate "$E2E_MAIN"
done

# A lone Alt gives the menu bar the keyboard and Escape takes it back: Ctrl+D works again at once.
e2e_keys alt Escape ctrl+d
save_and_expect "$easy" "$tempo" "$tempo"

# No menu for hiding the toolbar: neither on the menu bar beside its menus nor on the toolbar's handle.
for point in "400 10" "3 38"; do
    read -r x y <<<"$point"
    xdotool mousemove --window "$E2E_MAIN" "$x" "$y" click 3
    sleep 0.5
    [ -z "$(e2e_captionless_of "$E2E_PID")" ] || e2e_fail "a menu opened on a right-click at $x,$y"
done

kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended"
echo "centred by its frame; Ctrl+D, Delete, Enter, Insert, Ctrl+S, Alt then Escape; no toolbar menu"
