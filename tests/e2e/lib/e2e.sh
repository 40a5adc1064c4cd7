# Shared helpers of the end-to-end scripts, sourced by each of them. A script calls e2e_begin "$0" "$@" first: it
# re-runs the script under its own virtual X server, starts a window manager on it, makes a private work folder
# (config, runtime and XDG folders inside it, so no user's settings, registry file or help viewer are touched)
# and cleans all of that up when the script ends, however it ends.
# shellcheck shell=bash

E2E_SCREEN="1024x768x24"
E2E_WAIT_STEPS=150      # waits poll every 0.1 s: 15 s at most for a window to come or go
E2E_KEY_DELAY_MS=40
E2E_SETTLE=0.2          # after a burst of input, let the program take it before the next look

e2e_fail() {
    echo "FAIL: $*" >&2
    echo "active window: $(xdotool getactivewindow 2>/dev/null || true), focus: $(xdotool getwindowfocus 2>/dev/null || true)" >&2
    echo "visible windows:" >&2
    local window
    for window in $(xdotool search --onlyvisible --name . 2>/dev/null || true); do
        echo "    $window $(xdotool getwindowname "$window" 2>/dev/null || true)" >&2
    done
    # E2E_FAILURE_SHOT names a PNG file that receives the screen as it was at the failure.
    [ -n "${E2E_FAILURE_SHOT:-}" ] && import -window root "$E2E_FAILURE_SHOT" 2>/dev/null || true
    exit 1
}

# e2e_begin "$0" "$@": leaves E2E_WORK (the private folder, also the current directory) and the script's own
# arguments in E2E_ARGS.
e2e_begin() {
    local script=$1
    shift
    if [ "${1:-}" != --inside-x ]; then
        exec xvfb-run -a -s "-screen 0 $E2E_SCREEN" "$script" --inside-x "$@"
    fi
    shift
    E2E_ARGS=("$@")
    # E2E_TRACE=1 traces every step with the time, for finding where a run waits.
    if [ -n "${E2E_TRACE:-}" ]; then
        PS4='+ $(date +%T.%N | cut -c1-12) '
        set -x
    fi

    E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/pacequill-e2e.XXXXXX")
    E2E_PIDS=()
    trap e2e_cleanup EXIT
    trap 'exit 1' INT TERM HUP

    export PACEQUILL_CONFIG_DIR="$E2E_WORK/config"
    export XDG_CONFIG_HOME="$E2E_WORK/xdg-config"
    export XDG_CACHE_HOME="$E2E_WORK/xdg-cache"
    export XDG_DATA_HOME="$E2E_WORK/xdg-data"
    # The help viewer listens on a socket in the runtime folder: a private one keeps the user's viewer out of reach.
    export XDG_RUNTIME_DIR="$E2E_WORK/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"
    unset PACEQUILL_HELP_SERVER SESSION_MANAGER
    cd "$E2E_WORK"

    openbox --sm-disable >"$E2E_WORK/openbox.log" 2>&1 &
    E2E_WM_PID=$!
    local _
    for _ in $(seq "$E2E_WAIT_STEPS"); do
        [[ "$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null)" == *"window id"* ]] && return 0
        # A window manager that gave up (the display was not ready for it) is started again.
        if ! kill -0 "$E2E_WM_PID" 2>/dev/null; then
            openbox --sm-disable >>"$E2E_WORK/openbox.log" 2>&1 &
            E2E_WM_PID=$!
        fi
        sleep 0.1
    done
    cat "$E2E_WORK/openbox.log" >&2
    e2e_fail "the window manager did not start"
}

# Ends every process the script started, then the help viewer that serves this script's runtime folder (it is
# started detached by the program, so it is found by its socket path, which is unique to this run).
e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    e2e_stop_viewer
    [ -n "${E2E_WM_PID:-}" ] && kill "$E2E_WM_PID" 2>/dev/null
    for pid in "${E2E_PIDS[@]}" ${E2E_WM_PID:-}; do
        wait "$pid" 2>/dev/null || true
    done
    cd /
    [ -n "${E2E_WORK:-}" ] && rm -rf "$E2E_WORK"
}

e2e_viewer_pids() {
    pgrep -f -x ".*pacequill-help --server $XDG_RUNTIME_DIR/pacequill-help" || true
}

e2e_stop_viewer() {
    local pid
    for pid in $(e2e_viewer_pids); do
        kill "$pid" 2>/dev/null || true
    done
}

# e2e_start <program> [args...]: starts it in the background; its process id is left in E2E_PID.
e2e_start() {
    "$@" &
    E2E_PID=$!
    E2E_PIDS+=("$E2E_PID")
}

# Prints the id of the first visible window whose name matches the extended regular expression ^$1$.
e2e_find() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true
}

e2e_count() {
    { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; } | wc -l
}

# e2e_wait_window <title regex>: waits for it and prints its id.
e2e_wait_window() {
    local found= _
    for _ in $(seq "$E2E_WAIT_STEPS"); do
        found=$(e2e_find "$1")
        [ -n "$found" ] && break
        sleep 0.1
    done
    [ -n "$found" ] || e2e_fail "no window named '$1'"
    echo "$found"
}

e2e_wait_gone() {
    local _
    for _ in $(seq "$E2E_WAIT_STEPS"); do
        [ -z "$(e2e_find "$1")" ] && return 0
        sleep 0.1
    done
    e2e_fail "the window named '$1' is still open"
}

# e2e_expect_title <window id> <exact title>
e2e_expect_title() {
    local title _
    for _ in $(seq 20); do
        title=$(xdotool getwindowname "$1" 2>/dev/null) || true
        [ "$title" = "$2" ] && return 0
        sleep 0.1
    done
    e2e_fail "window $1 is titled '$title', expected '$2'"
}

# Gives a window the keyboard through the window manager, as a click on it would.
e2e_activate() {
    local _
    for _ in $(seq 20); do
        xdotool windowactivate "$1" 2>/dev/null || true
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && return 0
        sleep 0.1
    done
    e2e_fail "window $1 does not take the focus"
}

e2e_keys() {
    xdotool key --clearmodifiers --delay "$E2E_KEY_DELAY_MS" "$@"
    sleep "$E2E_SETTLE"
}

e2e_type() {
    xdotool type --clearmodifiers --delay "$E2E_KEY_DELAY_MS" "$1"
    sleep "$E2E_SETTLE"
}

# e2e_menu <window id> <menu letter> <item letter>: opens a menu of the menu bar with Alt and picks an item.
e2e_menu() {
    e2e_activate "$1"
    e2e_keys "alt+$2"
    e2e_wait_popup_menu "$1"
    e2e_keys "$3"
}

# Waits until the program that owns window $1 shows a drop-down menu: its first menu can take a moment to build,
# and a key typed before it is up would go to the window below. A menu is a window without a caption.
e2e_wait_popup_menu() {
    local pid _
    pid=$(xdotool getwindowpid "$1")
    for _ in $(seq "$E2E_WAIT_STEPS"); do
        [ -n "$(e2e_captionless_of "$pid")" ] && return 0
        sleep 0.1
    done
    e2e_fail "no menu opened"
}

# e2e_click <window id> <x> <y>: a left click at a point of the window (window coordinates).
e2e_click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep "$E2E_SETTLE"
}

# A visible window of the process with id $1 that has no caption of its own, so that the system names it after
# the program: the splash at start, later a drop-down menu.
e2e_captionless_of() {
    local window
    for window in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null || true); do
        [ "$(xdotool getwindowname "$window" 2>/dev/null)" = pacequill ] && echo "$window" && return 0
    done
    return 0
}

# Starts the program with the given arguments and waits for its main window titled $1; leaves its id in E2E_MAIN.
# Then waits for the splash to close by itself (3 s); splash-click.sh tests closing it with a click.
e2e_open_main() {
    local title=$1 program=$2 _
    shift 2
    e2e_start "$program" "$@"
    E2E_MAIN=$(e2e_wait_window "$title")
    for _ in $(seq "$E2E_WAIT_STEPS"); do
        [ -z "$(e2e_captionless_of "$E2E_PID")" ] && break
        sleep 0.1
    done
    [ -z "$(e2e_captionless_of "$E2E_PID")" ] || e2e_fail "the splash did not close"
    e2e_expect_title "$E2E_MAIN" "$title"
}

# e2e_wait_exit <pid>: the process ends on its own.
e2e_wait_exit() {
    local _
    for _ in $(seq "$E2E_WAIT_STEPS"); do
        kill -0 "$1" 2>/dev/null || { wait "$1" 2>/dev/null || true; return 0; }
        sleep 0.1
    done
    e2e_fail "process $1 did not end"
}

# e2e_expect_bytes <file> <file with the expected bytes>: waits for the file to hold them.
e2e_expect_bytes() {
    local _
    for _ in $(seq "$E2E_WAIT_STEPS"); do
        cmp -s "$1" "$2" 2>/dev/null && return 0
        sleep 0.1
    done
    echo "expected:" >&2
    od -c "$2" >&2
    echo "found:" >&2
    od -c "$1" >&2 || true
    e2e_fail "$1 does not hold the expected bytes"
}

# e2e_log <file> <record>...: writes a log in the current layout; records are given without the leading 0xA1 and
# line ends, with \t for TAB.
e2e_log() {
    local file=$1 record
    shift
    printf 'Pacequill version 3.1 log file format\r\n' >"$file"
    for record in "$@"; do
        printf '\241%b\r\n' "$record" >>"$file"
    done
}

# Where the log list sits in the main window (window coordinates, measured under this X server's fonts): the
# middle of its header, the middle of its first row and the row height, and the middle of each column's header.
E2E_LIST_HEADER_Y=74
E2E_LIST_FIRST_ROW_Y=89
E2E_LIST_ROW_HEIGHT=13
E2E_LIST_COLUMN_X=(45 120 210 350)

# e2e_click_header <column>: sorts by a column the way a user does.
e2e_click_header() {
    e2e_click "$E2E_MAIN" "${E2E_LIST_COLUMN_X[$1]}" "$E2E_LIST_HEADER_Y"
}

# e2e_click_row <row> [clicks]: one or more left clicks on a row of the log list.
e2e_click_row() {
    xdotool mousemove --window "$E2E_MAIN" "${E2E_LIST_COLUMN_X[0]}" \
        "$((E2E_LIST_FIRST_ROW_Y + $1 * E2E_LIST_ROW_HEIGHT))" click --repeat "${2:-1}" --delay 80 1
    sleep "$E2E_SETTLE"
}

# e2e_file_dialog <title> <name>: types a file name into the Open or Save As dialog and accepts it with Return. A
# Return that only closes the completion list the dialog may show under the name is followed by another one. The
# dialog is followed by its window, since the window it leads to may bear the same title.
e2e_file_dialog() {
    local dialog attempt _
    dialog=$(e2e_wait_window "$1")
    e2e_activate "$dialog"
    e2e_type "$2"
    for attempt in 1 2 3; do
        e2e_keys Return
        for _ in $(seq 20); do
            { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; } | grep -qx "$dialog" || return 0
            sleep 0.1
        done
    done
    e2e_fail "the $1 dialog did not take the name '$2'"
}
