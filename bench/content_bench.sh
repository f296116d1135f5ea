#!/usr/bin/env bash
# Builds and runs the EPS drawing benchmark on files it makes: a gnuplot EPS of about 1 MB and
# one of about 100 KB, and an image EPS of about 5 MB (ImageMagick).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build >/dev/null
cmake --build build -j2 --target content_bench >/dev/null
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
gnuplot -e "set terminal postscript eps color; set output '$dir/plot1m.eps'; set samples 24500; \
plot sin(x)*exp(-x/20) with linespoints, cos(3*x) with lines, x*sin(x)/10 with points"
gnuplot -e "set terminal postscript eps color; set output '$dir/plot100k.eps'; set samples 1500; \
plot sin(x)*exp(-x/20) with linespoints, cos(3*x) with lines"
convert -size 1600x1100 plasma:fractal -depth 8 "eps2:$dir/image5m.eps"
ls -l "$dir"
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" ./build/content_bench \
    "$dir/plot1m.eps" "$dir/image5m.eps" "$dir/plot100k.eps"
