#!/usr/bin/env bash
# Installs the build into a prefix, as a user or a package would, and checks that every file of the desktop
# integration is there and valid: the programs, the desktop entry with the log file type, the shared-mime-info
# definition (globs and header-line magic), the hicolor icons, the AppStream metainfo, the manual pages and pquil's
# bash completion. The validators (desktop-file-validate, appstreamcli, xmllint) are run where they exist.
# Usage: install.sh <cmake> <build folder> <prefix> <application id>
set -euo pipefail
cmake=$1 build=$2 prefix=$3 id=$4
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
# check <description> <command>...: runs a check, reporting its output when it fails.
check() {
    local what=$1 output
    shift
    output=$("$@" 2>&1) || fail "$what: $output"
}
has() { command -v "$1" >/dev/null; }

share=$prefix/share
desktop=$share/applications/$id.desktop
mime=$share/mime/packages/pacequill.xml
metainfo=$share/metainfo/$id.metainfo.xml
for file in "$prefix/bin/pacequill" "$prefix/bin/pquil" "$prefix/bin/pacequill-help" "$desktop" "$mime" "$metainfo" \
    "$share/icons/hicolor/scalable/apps/pacequill.svg" "$share/man/man1/pacequill.1" "$share/man/man1/pquil.1" \
    "$share/man/man1/pacequill-help.1" "$share/bash-completion/completions/pquil"; do
    [ -s "$file" ] || fail "not installed: $file"
done

# Each icon is a picture of its size.
for size in 16 22 24 32 48 64 128 256; do
    icon=$share/icons/hicolor/${size}x$size/apps/pacequill.png
    if [ ! -s "$icon" ]; then
        fail "not installed: $icon"
    elif has identify; then
        [ "$(identify -format '%m %wx%h' "$icon")" = "PNG ${size}x$size" ] || fail "$icon is not a $size px PNG"
    fi
done

# The desktop entry opens logs: it names the type that the mime definition gives the log patterns.
grep -qx 'MimeType=application/x-pacequill-log;' "$desktop" || fail "$desktop lists no log type"
has desktop-file-validate && check "$desktop" desktop-file-validate "$desktop"
if has appstreamcli; then
    check "$metainfo" appstreamcli validate --no-net "$metainfo"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "$metainfo launches no $id.desktop"
fi
if has xmllint; then
    check "$mime" xmllint --noout "$mime"
    check "icon" xmllint --noout "$share/icons/hicolor/scalable/apps/pacequill.svg"
fi
# The database built from the definition knows both patterns and the header line.
if has update-mime-database; then
    database=$(mktemp -d)
    trap 'rm -rf "$database"' EXIT
    mkdir "$database/packages"
    cp "$mime" "$database/packages/"
    check "update-mime-database" update-mime-database "$database"
    for pattern in '*.pquil' '*.pql'; do
        grep -qxF "application/x-pacequill-log:$pattern" "$database/globs" || fail "mime globs lack $pattern"
    done
    grep -qaF 'Pacequill version 3.1 log file format' "$database/magic" || fail "mime magic lacks the header line"
fi

# The manual pages format without warnings, and pquil's page holds what 'pquil --help' prints.
if has man; then
    for page in pacequill pquil pacequill-help; do
        output=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$share/man/man1/$page.1" 2>&1 >/dev/null) || true
        [ -z "$output" ] || fail "$page.1: $output"
    done
    usage=$("$prefix/bin/pquil" --help | head -1)
    LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$share/man/man1/pquil.1" 2>/dev/null | grep -qF "$usage" ||
        fail "pquil.1 lacks '$usage'"
fi

# The completion offers pquil's commands and a command's options, read from the installed pquil.
check "completion" bash -n "$share/bash-completion/completions/pquil"
completed=$(PATH="$prefix/bin:$PATH" bash -c '
    source "$1"
    complete_words() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMPREPLY=(); _pquil; echo "${COMPREPLY[*]}"; }
    complete_words pquil sh
    complete_words pquil show --t
    complete_words pquil stats ""' _ "$share/bash-completion/completions/pquil")
[ "$completed" = $'shoes show\n--tag --thru --tsv\nmonthly range weekly yearly' ] ||
    fail "completion gave: $completed"

[ "$failures" -eq 0 ] || exit 1
echo "installed and valid: $prefix"
