# The start shared by the README's screenshot scripts, sourced by each after it sets root (the source tree).
# shellcheck shell=bash

source "$root/tests/e2e/lib/e2e.sh"

# screenshots_begin "$0" "$@": the script's arguments are [pacequill [output folder]], by default
# build/src/gui/pacequill and docs/screenshots. Runs the script under the end-to-end tests' virtual X server and
# leaves the program in program and the absolute output folder in out.
screenshots_begin() {
    local script=$1
    shift
    if [ "${1:-}" != --inside-x ]; then
        local given_program given_out
        given_program=$(readlink -f "${1:-$root/build/src/gui/pacequill}")
        mkdir -p "${2:-$root/docs/screenshots}"
        given_out=$(cd "${2:-$root/docs/screenshots}" && pwd)
        set -- "$given_program" "$given_out"
    fi
    e2e_begin "$script" "$@"
    program=${E2E_ARGS[0]}
    out=${E2E_ARGS[1]}
}

# shoot <window id> <file>: the window with its frame, as the user sees it.
shoot() {
    sleep 0.5 # let the window finish painting
    import -frame -window "$1" "$out/$2"
    echo "wrote $out/$2"
}
