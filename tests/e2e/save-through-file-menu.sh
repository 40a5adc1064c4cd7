#!/usr/bin/env bash
# Starts pacequill with a log of an earlier version on its command line, checks the window title, saves with
# Alt+F, S as a user would, and checks that the file now holds the log in the current layout.
# Usage: save-through-file-menu.sh <pacequill> <old-headerless.pql>
set -euo pipefail

if [ "${1:-}" != --inside-x ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside-x "$@"
fi
program=$2
source_log=$3

work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

export PACEQUILL_CONFIG_DIR="$work/config"
log="$work/old log.pql"
cp "$source_log" "$log"

"$program" "$log" &
pid=$!

# The caption names the file without its folder and extension.
title="Pacequill 3.1 - old log"
window=
for _ in $(seq 300); do
    window=$(xdotool search --name "^${title}\$" 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "no window titled '$title'; windows: $(xdotool search --name Pacequill getwindowname %@ 2>/dev/null)" >&2
    exit 1
fi
[ "$(xdotool getwindowname "$window")" = "$title" ] || { echo "wrong title" >&2; exit 1; }

# The program registers itself on an ordinary start.
grep -q "DefaultIcon" "$PACEQUILL_CONFIG_DIR/classes-root.ini" || { echo "not registered" >&2; exit 1; }

# Let the splash go (3 s), then save through the File menu.
sleep 3.5
xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers alt+f
sleep 1
xdotool key s

expected="$work/expected.pquil"
{
    printf 'Pacequill version 3.1 log file format\r\n'
    printf '\2411996/07/04\t6.2 Miles\t00:45:10\tHot day\r\n'
    printf '\2412003/07/04\t10 Kilometers\t00:50:00\tFirst line\r\nSecond line\r\n'
    printf '\241No Date\t1 Marathons\t03:30:00\tNone\r\n'
    printf '\2412079/12/31\t3 Miles\t00:21:00\tNone\r\n'
    printf '\2411980/01/01\t4 Miles\t00:30:00\tNew year\r\n'
} >"$expected"

for _ in $(seq 50); do
    cmp -s "$log" "$expected" && break
    sleep 0.1
done
if ! cmp "$log" "$expected"; then
    echo "the saved log differs from the expected bytes" >&2
    exit 1
fi

# The program is still running and its title unchanged.
kill -0 "$pid"
[ "$(xdotool getwindowname "$window")" = "$title" ]
echo "saved through File > Save"
