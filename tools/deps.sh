#!/usr/bin/env bash
# Installs the Debian packages that building and testing Pacequill need. Safe to run again: it installs only
# what is missing, without asking.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-svg-dev qt6-tools-dev qt6-tools-dev-tools qt6-documentation-tools libqt6help6 libqt6sql6-sqlite
    libgl1-mesa-dev libxkbcommon-dev
    libbenchmark-dev libgtest-dev
    libexpat1-dev zlib1g-dev libzip-dev
    clang libclang-rt-14-dev clang-format clang-tidy
    xvfb xauth xdotool x11-utils openbox imagemagick faketime qt6ct
    at-spi2-core dbus-daemon python3-pyatspi gir1.2-atspi-2.0
    librsvg2-bin desktop-file-utils appstream libxml2-utils shared-mime-info man-db
    # The Debian package: CPack reads binaries with file and dpkg-shlibdeps (dpkg-dev); tools/check-package.sh
    # runs lintian and installs the package on a minimal system made by debootstrap.
    file dpkg-dev lintian debootstrap
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
