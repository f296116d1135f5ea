#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer) and
# runs one target, or each in turn, for the given number of seconds.
#
#   fuzz/run.sh TARGET|all SECONDS [libFuzzer options ...]
#
# Targets: bufreader epsheader inifile loadsheet printjob. The seeds in fuzz/corpus/TARGET stay
# as they are; what the fuzzer finds goes to build-fuzz/corpus/TARGET, crashes and hangs to
# build-fuzz/artifacts, the log with the executions reached to build-fuzz/logs/TARGET.log.
# A crash ends the script with status 1. Add a reproducer to fuzz/corpus/TARGET when the fault
# is fixed, so that ./test.sh replays it.
set -euo pipefail
cd "$(dirname "$0")/.."

all=(bufreader epsheader inifile loadsheet printjob)
if [ $# -lt 2 ]; then
    echo "usage: fuzz/run.sh TARGET|all SECONDS [libFuzzer options ...]" >&2
    echo "targets: ${all[*]}" >&2
    exit 2
fi
target=$1
seconds=$2
shift 2
if [ "$target" = all ]; then
    targets=("${all[@]}")
else
    targets=("$target")
fi

./scripts/install-deps.sh fuzz
cxx=$(command -v clang++-14 || command -v clang++)
cc=$(command -v clang-14 || command -v clang)
cmake -S . -B build-fuzz -DZARVO_FUZZ=ON -DZARVO_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_C_COMPILER="$cc" \
    >/dev/null
for t in "${targets[@]}"; do
    cmake --build build-fuzz -j2 --target "fuzz_$t" >/dev/null
done

mkdir -p build-fuzz/artifacts build-fuzz/logs
# The targets write small files (sheets are saved with fsync); a memory file system keeps the
# executions per second up.
if [ -z "${TMPDIR:-}" ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
status=0
for t in "${targets[@]}"; do
    mkdir -p "build-fuzz/corpus/$t"
    dict=()
    [ -f "fuzz/dict/$t.dict" ] && dict=("-dict=fuzz/dict/$t.dict")
    echo "== fuzz_$t for $seconds s"
    # -timeout: an input that takes longer than 10 s counts as a hang.
    if ! nice "./build-fuzz/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$t-" \
        "${dict[@]}" "$@" "build-fuzz/corpus/$t" "fuzz/corpus/$t" \
        >"build-fuzz/logs/$t.log" 2>&1; then
        status=1
        echo "fuzz_$t found a fault: see build-fuzz/logs/$t.log and build-fuzz/artifacts/"
    fi
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb|Done [0-9]+ runs' \
        "build-fuzz/logs/$t.log" || true
done
exit $status
