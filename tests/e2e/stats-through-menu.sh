#!/usr/bin/env bash
# Starts pacequill with a log that holds one row whose unit word the totals do not know, opens Stats > Weekly
# with the keyboard as a user would, and checks what the weekly refresh did without looking at pixels: it met
# that row once ("Running totals error", caption "Debug", exactly once), and the statistics dialog is open.
# Escape then closes the dialog and Help > About opens the About box.
# Usage: stats-through-menu.sh <pacequill>
set -euo pipefail

if [ "${1:-}" != --inside-x ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside-x "$@"
fi
program=$2

work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

export PACEQUILL_CONFIG_DIR="$work/config"
log="$work/runs.pquil"
{
    printf 'Pacequill version 3.1 log file format\r\n'
    printf '\2411998/03/02\t3.1 Miles\t00:25:00\tNone\r\n'
    printf '\2411998/03/04\t4 miles\t00:30:00\tNone\r\n'
    printf '\2411998/03/09\t1 Marathons\t03:30:00\tNone\r\n'
} >"$log"

# Waits for a visible window whose name is exactly $1 and prints its id.
wait_window() {
    local found=
    for _ in $(seq 100); do
        found=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) && [ -n "$found" ] && break
        sleep 0.1
    done
    [ -n "$found" ] || { echo "no window named '$1'" >&2; return 1; }
    echo "$found"
}
visible_count() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l
}

"$program" "$log" &
pid=$!
window=$(wait_window "Pacequill 3.1 - runs")

# Let the splash go (3 s), then Stats > Weekly.
sleep 3.5
xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers alt+s
sleep 0.5
xdotool key --clearmodifiers w

debug=$(wait_window "Debug")
sleep 0.5
[ "$(visible_count Debug)" -eq 1 ] || { echo "more than one message box" >&2; exit 1; }
xdotool windowfocus --sync "$debug"
xdotool key --clearmodifiers Return

stats=$(wait_window "Pacequill Statistics")
sleep 1
[ "$(visible_count Debug)" -eq 0 ] || { echo "the weekly list reported the row more than once" >&2; exit 1; }

# Escape reaches the modal dialog and closes it.
xdotool windowfocus --sync "$stats"
xdotool key --clearmodifiers Escape
for _ in $(seq 50); do
    [ "$(visible_count "Pacequill Statistics")" -eq 0 ] && break
    sleep 0.1
done
[ "$(visible_count "Pacequill Statistics")" -eq 0 ] || { echo "Escape did not close the dialog" >&2; exit 1; }

# Help > About.
xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers alt+h
sleep 0.5
xdotool key --clearmodifiers a
about=$(wait_window "About Pacequill")
xdotool windowfocus --sync "$about"
xdotool key --clearmodifiers Return
for _ in $(seq 50); do
    [ "$(visible_count "About Pacequill")" -eq 0 ] && break
    sleep 0.1
done
[ "$(visible_count "About Pacequill")" -eq 0 ] || { echo "OK did not close the About box" >&2; exit 1; }

kill -0 "$pid"
echo "Stats > Weekly and Help > About through the keyboard"
