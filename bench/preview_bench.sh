#!/usr/bin/env bash
# Builds and runs the page-picture benchmark: milliseconds per paint for 0, 100, 1,000 and
# 10,000 items at the whole-page view and at the largest zoom. Optional argument: paints per
# measurement (default 15).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build >/dev/null
cmake --build build -j2 --target preview_bench >/dev/null
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" ./build/preview_bench "$@"
