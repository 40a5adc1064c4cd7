#!/usr/bin/env bash
# Builds the whole program (core, window library, pquil, help viewer) and its tests with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test that runs offscreen; the end-to-end tests under Xvfb are left to
# tools/test.sh. Any leak fails the test: no leak is suppressed.
# Usage: tools/sanitize.sh [build-dir] [cmake options...]   (default: build-asan; CI adds -DPACEQUILL_WERROR=ON)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-asan}
shift $(($# > 0 ? 1 : 0))
tools/deps.sh

cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DPACEQUILL_SANITIZE=ON \
    -DPACEQUILL_BENCH=OFF "$@"
cmake --build "$build"
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j2 -E '^e2e_'
