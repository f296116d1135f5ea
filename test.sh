#!/usr/bin/env bash
# Sets up what is missing, builds zarvo with its tests and runs the whole suite headless; then
# builds the same suite with AddressSanitizer and UndefinedBehaviorSanitizer and runs it again.
# Both runs replay the fuzz corpora (fuzz/corpus); fuzz/run.sh does the fuzzing itself.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build
cmake --build build -j"$(nproc)"
(cd build && ctest --output-on-failure -j"$(nproc)")

# Any sanitizer report ends the test that made it (UBSan is built not to recover); leaks are
# reported when a test program or the program itself exits.
export ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1
cmake -S . -B build-sanitize -DZARVO_SANITIZE=ON
cmake --build build-sanitize -j"$(nproc)"
(cd build-sanitize && ctest --output-on-failure -j"$(nproc)")
