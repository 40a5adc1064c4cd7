#!/usr/bin/env bash
# Starts pacequill on a new log, adds an entry through Edit > Add Entry... with real key input: distance and
# time, Enter to calculate the pace, the calculated pace copied into two lines of notes, a typed date, OK. Then
# saves with Alt+F, S and checks the file's bytes.
# Usage: add-entry-and-save.sh <pacequill>
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

# A log that does not exist yet opens empty under its name, so Save writes it without asking for a name.
"$program" "$log" &
pid=$!

wait_for_window() {
    local title=$1 found=
    for _ in $(seq 300); do
        found=$(xdotool search --name "^${title}\$" 2>/dev/null | head -n 1) && [ -n "$found" ] && break
        sleep 0.1
    done
    if [ -z "$found" ]; then
        echo "no window titled '$title'; windows: $(xdotool search --name . getwindowname %@ 2>/dev/null)" >&2
        exit 1
    fi
    echo "$found"
}

keys() {
    xdotool key --clearmodifiers --delay 60 "$@"
    sleep 0.3
}

typed() {
    xdotool type --delay 60 "$1"
    sleep 0.3
}

main_window=$(wait_for_window "Pacequill 3.1 - runs")
# Let the splash go (3 s), then open the editor from the Edit menu.
sleep 3.5
xdotool windowfocus --sync "$main_window"
keys alt+e
keys a

editor=$(wait_for_window "Pacequill Calculator")
xdotool windowfocus --sync "$editor"
sleep 0.5

# The focus starts in Distance; the tab order runs Distance, unit list, Hours, Minutes, Seconds.
typed "6.2"
keys Tab Tab Tab
typed "45"
keys Tab
typed "30"
# Enter presses Calculate, the default button: 6.2 miles in 45:30 is a pace of 7:20.32 per mile.
keys Return
if xdotool search --name "^Pace Calculation Error\$" >/dev/null 2>&1; then
    echo "Calculate found no distance or time" >&2
    exit 1
fi

# Copy pace minutes, then pace seconds, into Notes (tabbing into a field selects its text).
keys Tab ctrl+c Tab Tab Tab
typed "Pace "
keys ctrl+v
typed ":"
keys shift+Tab shift+Tab ctrl+c Tab Tab
keys ctrl+v Return
typed "Windy"
# From Notes to the calculation mode and the date, which holds today's date: replace it.
keys Tab Tab
typed "2024/03/05"
keys alt+o

for _ in $(seq 50); do
    xdotool search --name "^Pacequill Calculator\$" >/dev/null 2>&1 || break
    sleep 0.1
done
if xdotool search --name "^Pacequill Calculator\$" >/dev/null 2>&1; then
    echo "the editor did not close at OK" >&2
    exit 1
fi

xdotool windowfocus --sync "$main_window"
keys alt+f
sleep 0.7
keys s

expected="$work/expected.pquil"
{
    printf 'Pacequill version 3.1 log file format\r\n'
    printf '\2412024/03/05\t6.2 Miles\t00:45:30\tPace 7:20.32\r\nWindy\r\n'
} >"$expected"

for _ in $(seq 50); do
    cmp -s "$log" "$expected" 2>/dev/null && break
    sleep 0.1
done
if ! cmp "$log" "$expected"; then
    echo "the saved log differs from the expected bytes:" >&2
    od -c "$log" >&2 || true
    exit 1
fi

kill -0 "$pid"
echo "added an entry with a calculated pace and saved it"
