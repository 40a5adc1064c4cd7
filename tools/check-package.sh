#!/usr/bin/env bash
# Proves a Pacequill package on a clean Debian 12: lintian finds no errors in it; on a minimal system made by
# debootstrap it installs with apt-get (only its declared dependencies come with it), pquil and the window run,
# the desktop files are where the desktop looks for them, and removing and purging it leaves none of its files.
# The minimal system is made once and kept in ~/.cache/pacequill (PACEQUILL_CACHE_DIR names another folder); each
# run works on a fresh layer over it, so the kept system stays clean. Needs root (for chroot and mount).
# Usage: check-package.sh PACKAGE.deb
set -euo pipefail
[ $# -eq 1 ] && [ -f "$1" ] || { echo "usage: $0 PACKAGE.deb" >&2; exit 2; }
package=$(realpath "$1")
source_dir=$(realpath "$(dirname "$0")/..")
if [ "$(id -u)" -ne 0 ]; then
    exec sudo --preserve-env=PACEQUILL_CACHE_DIR,PACEQUILL_DEBIAN_MIRROR "$0" "$package"
fi

suite=bookworm
cache_dir=${PACEQUILL_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/pacequill}
cache=$cache_dir/debootstrap-$suite
# The packages apt downloads, kept apart from the system so that later runs need not fetch them again.
archives=$cache_dir/apt-archives-$suite
name=$(dpkg-deb --field "$package" Package)
version=$(dpkg-deb --field "$package" Version)

failures=0
ok() { echo "ok    $*"; }
fail() {
    echo "FAIL  $*"
    failures=$((failures + 1))
}
# step <description> <command>...: runs one check and prints its result, with the command's output on failure.
step() {
    local what=$1 output start=$SECONDS
    shift
    if output=$("$@" 2>&1); then
        ok "$what ($((SECONDS - start)) s)"
    else
        fail "$what ($((SECONDS - start)) s)"
        printf '%s\n' "$output" | sed 's/^/      /'
        return 1
    fi
}

# The package itself, before anything is installed: no errors, and the warnings and notes shown. lintian only reads
# the package, so running as root is harmless.
if ! command -v lintian >/dev/null; then
    fail "lintian is not installed (tools/deps.sh installs it)"
elif tags=$(lintian --allow-root --fail-on error "$package" 2>&1); then
    ok "lintian: no errors"
else
    fail "lintian: errors"
fi
[ -z "${tags:-}" ] || printf '%s\n' "$tags" | sed 's/^/      /'

# The mirror that this machine's own Debian sources name, so the check works where only that mirror is reachable.
debian_mirror() {
    local uri
    uri=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
        grep -v '^[[:space:]]*#' | grep -oE 'https?://[^ ]+/debian/?( |$)' | head -1 | tr -d ' ') || true
    echo "${PACEQUILL_DEBIAN_MIRROR:-${uri:-http://deb.debian.org/debian}}"
}

# One run at a time: runs share the kept system and apt's downloads.
mkdir -p "$cache_dir"
exec 9>"$cache_dir/lock"
flock 9

# The minimal system, made once. It is made beside the cache and moved in place only when complete, so a run that
# was stopped halfway leaves nothing that a later run would take for a good system.
if [ ! -e "$cache/.complete" ]; then
    mirror=$(debian_mirror)
    echo "making a minimal Debian $suite from $mirror in $cache (once)"
    rm -rf --one-file-system "$cache.new"
    step "debootstrap --variant=minbase $suite" debootstrap --variant=minbase "$suite" "$cache.new" "$mirror" ||
        exit 1
    rm -rf --one-file-system "$cache"
    touch "$cache.new/.complete"
    mv "$cache.new" "$cache"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/pacequill-check.XXXXXX")
root=$work/root
mkdir "$root"
mounted=()
cleanup() {
    local i process
    # Whatever still runs inside the system (a window that did not end, say) would keep it mounted.
    for process in /proc/[0-9]*; do
        [ "$(readlink "$process/root" 2>/dev/null)" = "$root" ] && kill -KILL "${process#/proc/}" 2>/dev/null
    done
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" || true
    done
    # Nothing of the host may still be mounted inside when the folder is removed.
    if ! grep -qF " $work/" /proc/mounts; then
        rm -rf --one-file-system "$work"
    else
        echo "left $work in place: something is still mounted in it" >&2
    fi
}
trap cleanup EXIT

# A fresh layer over the kept system: an overlay where the kernel allows one, otherwise a copy.
mkdir "$work/upper" "$work/overlay-work"
if mount -t overlay overlay -o "lowerdir=$cache,upperdir=$work/upper,workdir=$work/overlay-work" "$root" 2>/dev/null
then
    mounted+=("$root")
else
    cp -a "$cache/." "$root/"
fi
# Each mount is recorded before the next, so that a failure undoes exactly what was mounted.
mount -t proc proc "$root/proc"
mounted+=("$root/proc")
mount --bind /dev "$root/dev"
mounted+=("$root/dev")
mount --bind /dev/pts "$root/dev/pts"
mounted+=("$root/dev/pts")
mkdir -p "$archives"
mount --bind "$archives" "$root/var/cache/apt/archives"
mounted+=("$root/var/cache/apt/archives")
# The system is thrown away after the run, so dpkg need not sync every file it unpacks.
echo force-unsafe-io >"$root/etc/dpkg/dpkg.cfg.d/pacequill-check-unsafe-io"
# apt downloads as its own user, into a folder that user owns.
mkdir -p "$archives/partial"
chroot "$root" chown _apt:root /var/cache/apt/archives/partial
cp /etc/resolv.conf "$root/etc/resolv.conf"
# The host's Debian sources: the versions the package was built against, from a mirror this machine reaches.
rm -f "$root/etc/apt/sources.list" "$root"/etc/apt/sources.list.d/*
copied=0
for sources in /etc/apt/sources.list /etc/apt/sources.list.d/debian.sources; do
    [ -f "$sources" ] && cp "$sources" "$root$sources" && copied=1
done
[ "$copied" -eq 1 ] || echo "deb $(debian_mirror) $suite main" >"$root/etc/apt/sources.list"

root_env=(env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8 DEBIAN_FRONTEND=noninteractive)
# The lock stays with this script: a program that outlived it must not hold up later runs.
in_root() { chroot "$root" "${root_env[@]}" "$@" 9>&-; }

deb=/tmp/$(basename "$package")
cp "$package" "$root$deb"
step "apt-get update" in_root apt-get update -qq || exit 1
step "apt-get install $deb" in_root apt-get install -y -qq --no-install-recommends "$deb" || exit 1
files=$(in_root dpkg -L "$name")

# pquil: its version, a conversion of the sample log and its totals.
check_version() {
    local printed
    printed=$(in_root pquil --version)
    echo "$printed"
    grep -qF "$version" <<<"$printed"
}
step "pquil --version names $version" check_version || true
mkdir -p "$root/tmp/check"
cp "$source_dir/examples/sample.pquil" "$root/tmp/check/sample.pquil"
check_convert() {
    in_root pquil convert /tmp/check/sample.pquil /tmp/check/converted.pquil
    [ -s "$root/tmp/check/converted.pquil" ]
}
step "pquil convert the sample log" check_convert || true
# The converted log adds up to what the sample does.
check_stats() {
    local sample converted
    sample=$(in_root pquil stats yearly /tmp/check/sample.pquil)
    converted=$(in_root pquil stats yearly /tmp/check/converted.pquil)
    echo "$converted"
    [ -n "$sample" ] && [ "$sample" = "$converted" ]
}
step "pquil stats yearly: the converted log adds up as the sample" check_stats || true

# The window on the offscreen platform with the sample log. Once it has set up the log it records its file type
# (classes-root.ini): then it is running with the log open, and it is asked to end.
check_window() {
    local config=/tmp/check/config pid waited=0
    install -d -m 0700 "$root/tmp/check/runtime"
    # chroot and env replace themselves with the program, so the process started here is the window itself.
    chroot "$root" "${root_env[@]}" QT_QPA_PLATFORM=offscreen PACEQUILL_CONFIG_DIR=$config \
        XDG_RUNTIME_DIR=/tmp/check/runtime pacequill /tmp/check/sample.pquil >"$work/window.log" 2>&1 9>&- &
    pid=$!
    until [ -s "$root$config/classes-root.ini" ]; do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid" || true
            echo "pacequill ended before it opened the log:"
            cat "$work/window.log"
            return 1
        fi
        # Bounded, so that a window that stalls (a prompt on the log, say) fails the check instead of hanging it.
        if [ "$waited" -ge 600 ]; then
            kill -KILL "$pid"
            echo "pacequill did not open the log within a minute:"
            cat "$work/window.log"
            return 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    kill -TERM "$pid"
    while kill -0 "$pid" 2>/dev/null; do
        if [ "$waited" -ge 600 ]; then
            kill -KILL "$pid"
            echo "pacequill did not end when asked to"
            return 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    wait "$pid" || true
    cat "$work/window.log"
}
step "pacequill opens the sample log offscreen and ends" check_window || true

# Where the desktop looks: the entry that opens logs, the log file type, the icons, and the help viewer's SQLite
# driver that no linked library brings.
check_installed() {
    local missing=0 path
    for path in "$@"; do
        compgen -G "$root$path" >/dev/null || { echo "missing: $path"; missing=1; }
    done
    return "$missing"
}
step "programs in /usr/bin" check_installed /usr/bin/pacequill /usr/bin/pquil /usr/bin/pacequill-help || true
step "help collection in /usr/share/pacequill" check_installed /usr/share/pacequill/pacequill.qhc \
    /usr/share/pacequill/pacequill.qch || true
step "desktop entry in /usr/share/applications" check_installed "/usr/share/applications/*.desktop" || true
grep -q '^MimeType=application/x-pacequill-log;' "$root"/usr/share/applications/*.desktop 2>/dev/null ||
    fail "the desktop entry opens no logs"
step "MIME type in /usr/share/mime/packages" check_installed /usr/share/mime/packages/pacequill.xml || true
# Qt's own dependencies bring shared-mime-info, whose trigger adds the type to the database that file managers read.
check_mime_database() {
    grep -F 'application/x-pacequill-log:*.pquil' "$root/usr/share/mime/globs2"
}
step "MIME database knows *.pquil" check_mime_database || true
step "icons in /usr/share/icons/hicolor" check_installed /usr/share/icons/hicolor/scalable/apps/pacequill.svg \
    /usr/share/icons/hicolor/48x48/apps/pacequill.png || true
step "metainfo, manual pages and completion" check_installed "/usr/share/metainfo/*.metainfo.xml" \
    /usr/share/man/man1/pacequill.1.gz /usr/share/man/man1/pquil.1.gz /usr/share/man/man1/pacequill-help.1.gz \
    /usr/share/bash-completion/completions/pquil ||
    true
step "Qt's SQLite driver for the help viewer" check_installed "/usr/lib/*/qt6/plugins/sqldrivers/libqsqlite.so" ||
    true

# Removal: every file the package installed is gone; of its folders only those another package owns remain.
step "apt-get remove $name" in_root apt-get remove -y -qq "$name" || true
# A package without configuration files is forgotten by dpkg on removal, leaving nothing to purge.
if in_root dpkg-query --status "$name" >/dev/null 2>&1; then
    step "apt-get purge $name" in_root apt-get purge -y -qq "$name" || true
else
    ok "apt-get purge $name: nothing to purge, dpkg has forgotten it"
fi
check_nothing_left() {
    local path left=0
    while IFS= read -r path; do
        [ "$path" = "/." ] && continue
        [ -e "$root$path" ] || [ -L "$root$path" ] || continue
        if [ -d "$root$path" ] && [ ! -L "$root$path" ] && in_root dpkg-query --search "$path" >/dev/null 2>&1; then
            continue
        fi
        echo "left: $path"
        left=1
    done <<<"$files"
    in_root dpkg-query --status "$name" >/dev/null 2>&1 && { echo "dpkg still knows $name"; left=1; }
    return "$left"
}
step "nothing of $name left ($(wc -l <<<"$files") paths)" check_nothing_left || true

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "$package installs, runs and uninstalls cleanly on Debian $suite"
