#!/usr/bin/env bash
# Installs what is missing, builds the program with its help viewer and help collection, and opens the sample log
# in examples/.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target pacequill
exec build/src/gui/pacequill examples/sample.pquil
