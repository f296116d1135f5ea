#!/usr/bin/env bash
# Sets up what is missing, builds zarvo with its tests and runs the whole suite headless.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build
cmake --build build -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j"$(nproc)"
