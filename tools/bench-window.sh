#!/usr/bin/env bash
# Builds and runs the window benchmark (bench/bench_window_app.cpp): the real program over a generated
# million-row log, once on the offscreen platform and once under Xvfb with real painting.
# Usage: tools/bench-window.sh [build-dir] [benchmark options...]
# PACEQUILL_BENCH_ROWS sets another row count (e.g. a small log for valgrind).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-perf}
shift $(($# > 0 ? 1 : 0))

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_window_app -j2
bench="$build/bench/bench_window_app"

# The program records its file type on start-up: keep that record out of the user's settings.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
export PACEQUILL_CONFIG_DIR="$config"

echo "== offscreen"
QT_QPA_PLATFORM=offscreen "$bench" "$@"

if command -v xvfb-run >/dev/null; then
    echo "== xcb under xvfb-run"
    xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb "$bench" "$@"
else
    echo "xvfb-run not found: the painted run is skipped" >&2
fi
