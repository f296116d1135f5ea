#!/usr/bin/env bash
# Builds and runs the page-picture benchmark: milliseconds per paint for 0, 100, 1,000 and
# 10,000 items at the whole-page view and at the largest zoom. Optional argument: paints per
# measurement (default 15). Repeatable instruction counts of one sheet's paints:
#   valgrind --tool=callgrind --toggle-collect='zarvo::TPageView::Paint(QPainter&)' \
#       build/preview_bench --paint 1000 64 1
# (with an image file as fifth argument it also writes the picture, to compare two builds).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build >/dev/null
cmake --build build -j2 --target preview_bench >/dev/null
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" ./build/preview_bench "$@"
