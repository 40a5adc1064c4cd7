#!/usr/bin/env bash
# Compares the speed of two revisions: builds both in Release in folders of their own, runs the window benchmarks
# and `pquil stats weekly` alternately on the same generated log, and prints each benchmark's median for both, the
# ratio, and each median as a multiple of the same revision's `pquil stats weekly`. A ratio above 1.10 (more than
# 10% slower, or more memory) is marked.
#
# Usage: tools/bench-compare.sh [--runs N] [--only PROGRAMS] REV [REV2]
#   REV2 defaults to the working tree (tracked and untracked files that git does not ignore).
#   --runs N        runs of each program for each revision (default 5)
#   --only PROGRAMS comma-separated subset of: bench_window_app,bench_window_sort,bench_window_charts,bench_pquil
# PACEQUILL_BENCH_ROWS sets the log's row count (default a million), e.g. 10000 for the ten-thousand-row case.
# Both revisions run the newer revision's benchmark programs, so both are measured the same way; when those do
# not build against the older revision, its own are used and the table says so.
# Builds are kept in ${XDG_CACHE_HOME:-~/.cache}/pacequill/bench-compare and compiled through ccache when it is
# installed; the tables of each comparison are kept there too.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

runs=5
programs=bench_window_app,bench_window_sort,bench_window_charts,bench_pquil
while [[ $# -gt 0 && $1 == --* ]]; do
    case $1 in
    --runs) runs=$2; shift 2 ;;
    --only) programs=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
    esac
done
if [[ $# -lt 1 || $# -gt 2 ]]; then
    sed -n '7,11p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
fi
IFS=, read -r -a programs <<<"$programs"

cache=${XDG_CACHE_HOME:-$HOME/.cache}/pacequill/bench-compare
mkdir -p "$cache"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# A short name for a revision and the folder its build lives in.
describe() {
    if [[ -z ${1-} ]]; then
        echo "worktree"
    else
        git rev-parse --short=10 "$1^{commit}"
    fi
}
old_name=$(describe "$1")
new_name=$(describe "${2-}")
new_dir=$cache/$new_name
[[ $new_name == worktree ]] && new_dir=$cache/worktree-$(printf '%s' "$repo" | md5sum | cut -c1-8)
# The older revision is built with the newer one's benchmarks, so its folder belongs to the pair.
old_dir=$cache/$old_name-with-$(basename "$new_dir")
# Another comparison of the same revisions waits for this one rather than rebuilding under it.
mkdir -p "$new_dir" "$old_dir"
exec 8>"$new_dir/lock" 9>"$old_dir/lock"
flock 8
flock 9

# Writes a revision's files (REV or, when empty, the working tree) into a fresh folder.
export_tree() {
    local rev=$1 target=$2
    rm -rf "$target"
    mkdir -p "$target"
    if [[ -n $rev ]]; then
        git archive "$rev^{commit}" | tar -x -C "$target"
    else
        git ls-files -z -co --exclude-standard |
            while IFS= read -r -d '' file; do [[ -f $file ]] && printf '%s\0' "$file"; done |
            tar --null -T - -cf - | tar -x -C "$target"
    fi
}

# Makes DST hold SRC's files, rewriting only those that differ, so that the build sees only real changes.
sync_tree() {
    local src=$1 dst=$2 file
    mkdir -p "$dst"
    while IFS= read -r -d '' file; do
        if ! cmp -s "$src/$file" "$dst/$file"; then
            mkdir -p "$(dirname "$dst/$file")"
            cp "$src/$file" "$dst/$file"
        fi
    done < <(cd "$src" && find . -type f -print0)
    while IFS= read -r -d '' file; do
        [[ -f $src/$file ]] || rm -f "$dst/$file"
    done < <(cd "$dst" && find . -type f -print0)
}

# Builds the benchmarks and pquil of the tree in DIR/src into DIR/build.
build() {
    local dir=$1
    # Paths relative to the revision's folder let ccache reuse one revision's objects for the other.
    CCACHE_BASEDIR=$dir cmake -S "$dir/src" -B "$dir/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DPACEQUILL_TESTS=OFF "${launcher[@]}" >"$dir/configure.log" &&
        CCACHE_BASEDIR=$dir cmake --build "$dir/build" -j"$(nproc)" --target pquil "${programs[@]}" >"$dir/build.log"
}

echo "== building $new_name and $old_name in $cache"
export_tree "${2-}" "$new_dir/stage"
sync_tree "$new_dir/stage" "$new_dir/src"
build "$new_dir" || { tail -30 "$new_dir/build.log" >&2; exit 1; }

export_tree "$1" "$old_dir/stage"
own_bench=$old_dir/stage-bench
rm -rf "$own_bench"
cp -r "$old_dir/stage/bench" "$own_bench"
rm -rf "$old_dir/stage/bench"
cp -r "$new_dir/stage/bench" "$old_dir/stage/bench"
sync_tree "$old_dir/stage" "$old_dir/src"
bench_note="both run $new_name's benchmark programs"
if ! build "$old_dir"; then
    bench_note="$old_name runs its own benchmark programs ($new_name's do not build against it)"
    rm -rf "$old_dir/stage/bench"
    cp -r "$own_bench" "$old_dir/stage/bench"
    sync_tree "$old_dir/stage" "$old_dir/src"
    build "$old_dir" || { tail -30 "$old_dir/build.log" >&2; exit 1; }
fi
rm -rf "$new_dir/stage" "$old_dir/stage" "$own_bench"

results=$(mktemp -d "$cache/results.XXXXXX")
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
# The program records its file type on start-up: keep that record out of the user's settings.
export PACEQUILL_CONFIG_DIR=$config QT_QPA_PLATFORM=offscreen

run_one() {
    local side=$1 dir=$2 program=$3 run=$4
    local filter=()
    # Of pquil's paths, the one the window's targets are measured against.
    [[ $program == bench_pquil ]] && filter=(--benchmark_filter='^BM_PquilStats/0/')
    "$dir/build/bench/$program" "${filter[@]}" --benchmark_out="$results/$side.$program.$run.json" \
        --benchmark_out_format=json >>"$results/$side.log" 2>&1 ||
        echo "   $side $program run $run failed (see $results/$side.log)" >&2
}

echo "== ${PACEQUILL_BENCH_ROWS:-1000000} rows, $runs runs each, alternating"
for ((run = 1; run <= runs; run++)); do
    for program in "${programs[@]}"; do
        echo "   run $run: $program"
        # The order alternates too, so a drift in the machine's load falls on both alike.
        if ((run % 2)); then
            run_one old "$old_dir" "$program" "$run"
            run_one new "$new_dir" "$program" "$run"
        else
            run_one new "$new_dir" "$program" "$run"
            run_one old "$old_dir" "$program" "$run"
        fi
    done
done

python3 - "$results" "$old_name" "$new_name" "$bench_note" <<'EOF' | tee "$results/table.txt"
import glob, json, os, re, statistics, sys

results, old_name, new_name, note = sys.argv[1:]
SLOWER = 1.10
SHORT = {"bench_window_app": "app", "bench_window_sort": "sort", "bench_window_charts": "charts",
         "bench_pquil": "pquil"}
# Counters worth comparing beside the times: memory as a multiple of the file, and pquil's processor time.
COUNTERS = ("rss_per_file", "peak_x_file", "cpu_ms")
TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
WEEKLY = "pquil:BM_PquilStats/0"

values = {"old": {}, "new": {}}
order = []
counted = {}  # per program, its rows of counters
for path in sorted(glob.glob(os.path.join(results, "*.json"))):
    side, program = os.path.basename(path).split(".")[:2]
    try:
        with open(path) as file:
            data = json.load(file)
    except (OSError, ValueError):
        continue
    for bench in data.get("benchmarks", []):
        if bench.get("error_occurred"):
            continue
        name = SHORT.get(program, program) + ":" + re.sub(r"/(iterations:\d+|real_time|manual_time)", "",
                                                          bench["name"])
        rows = [(name, bench["real_time"] * TO_MS[bench.get("time_unit", "ns")])]
        rows += [(f"{name} [{counter}]", bench[counter]) for counter in COUNTERS if counter in bench]
        for key, value in rows:
            if key not in order:
                order.append(key)
            values[side].setdefault(key, []).append(value)
            if "[" in key and key not in counted.get(key.split(":")[0], []):
                counted.setdefault(key.split(":")[0], []).append(key)

# A program's peak memory grows from step to step: its first and its last step say enough.
shown = {key for keys in counted.values() for key in (keys[0], keys[-1])}
order = [key for key in order if "[" not in key or key in shown]
median = {side: {key: statistics.median(v) for key, v in values[side].items()} for side in values}
weekly = {side: median[side].get(WEEKLY) for side in median}
print(f"medians in ms, or of [counter]; */pquil: as a multiple of the same revision's pquil stats weekly; {note}")
print(f"{'benchmark':<44}{old_name:>12}{new_name:>12}{'ratio':>8}"
      f"{'old/pquil':>10}{'new/pquil':>10}")
for key in order:
    old, new = median["old"].get(key), median["new"].get(key)
    cells = [f"{v:12.2f}" if v is not None else f"{'-':>12}" for v in (old, new)]
    ratio = new / old if old and new is not None else None
    mark = "  SLOWER" if ratio is not None and ratio > SLOWER else ""
    timed = "[" not in key
    per_weekly = []
    for side, value in (("old", old), ("new", new)):
        base = weekly[side]
        per_weekly.append(f"{value / base:10.2f}" if timed and base and value is not None else f"{'':>10}")
    ratio_cell = f"{ratio:8.2f}" if ratio is not None else f"{'-':>8}"
    print(f"{key:<44}{''.join(cells)}{ratio_cell}{''.join(per_weekly)}{mark}")
EOF
echo "(kept in $results)"
