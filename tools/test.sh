#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# PACEQUILL_BUILD_TYPE picks another build type than RelWithDebInfo, and PACEQUILL_WERROR=ON fails the build on any
# warning (CI sets both).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="${PACEQUILL_BUILD_TYPE:-RelWithDebInfo}" \
    -DPACEQUILL_WERROR="${PACEQUILL_WERROR:-OFF}"
cmake --build build
ctest --test-dir build --output-on-failure -j2 "$@"
