#!/usr/bin/env bash
# Builds the fuzz targets of the log reader, the activity readers, the CSV import and the profile reader with clang
# and fuzzes them for a while (seconds, default 60, for the log reader; a quarter of that for each of the others).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
tools/deps.sh

CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPACEQUILL_CORE_ONLY=ON \
    -DPACEQUILL_SANITIZE=ON -DPACEQUILL_FUZZ=ON -DPACEQUILL_TESTS=OFF
cmake --build build-fuzz --target fuzz_log_reader fuzz_gpx_reader fuzz_tcx_reader fuzz_fit_reader fuzz_csv_reader \
    fuzz_archive_reader fuzz_profile_reader
rm -rf build-fuzz/corpus && cp -r fuzz/corpus build-fuzz/corpus
build-fuzz/fuzz/fuzz_log_reader -max_total_time="$seconds" -max_len=4096 build-fuzz/corpus
# The activity readers, the CSV import, the compressed inputs and the log's profile, a quarter of that time each, from
# seeds under fuzz/corpus-<format>.
for format in gpx tcx fit csv archive profile; do
    rm -rf "build-fuzz/corpus-$format" && cp -r "fuzz/corpus-$format" "build-fuzz/corpus-$format"
    "build-fuzz/fuzz/fuzz_${format}_reader" -max_total_time="$((seconds / 4))" -max_len=8192 "build-fuzz/corpus-$format"
done
