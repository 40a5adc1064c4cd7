#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over every source of ours in a build's compile database, two at a
# time, and fails on any finding, printing the findings of each file that has one. The build must have run, so that
# the files moc generates exist.
# Usage: tools/tidy.sh [build-dir]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[ -f "$build/compile_commands.json" ] || {
    echo "tidy: $build/compile_commands.json is missing: configure and build $build first" >&2
    exit 1
}
# Each source of ours once (some are compiled into two programs), not what moc and rcc generate in the build folder.
python3 - "$build/compile_commands.json" "$PWD" <<'PY' |
import json, os, sys
root = sys.argv[2] + "/"
files = {os.path.normpath(os.path.join(e["directory"], e["file"])) for e in json.load(open(sys.argv[1]))}
for f in sorted(files):
    if f.startswith(root) and f[len(root):].split("/")[0] in ("src", "tests", "bench", "fuzz", "tools"):
        sys.stdout.write(f + "\0")
PY
    xargs -0 -n 1 -P 2 sh -c 'out=$(clang-tidy-14 --quiet -p "$0" "$1" 2>&1) || { printf "%s\n" "$out"; exit 1; }' "$build" || {
    echo "tidy: clang-tidy found the above" >&2
    exit 1
}
