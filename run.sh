#!/usr/bin/env bash
# Sets up what is missing, builds zarvo and starts it with the given arguments.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
exec ./build/zarvo "$@"
