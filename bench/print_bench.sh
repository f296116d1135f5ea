#!/usr/bin/env bash
# Benchmark of printing: zarvo --print of a sheet holding one large EPS file, side by side with
# psutils' epsffit (what a user would pick instead) and cat (the floor of copying), measured in
# one run, best of several; then the peak memory of the print for small, large and one-line EPS.
# Usage: bench/print_bench.sh [RUNS]   (needs a built build/zarvo; installs psutils and time)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
zarvo=$PWD/build/zarvo
[ -x "$zarvo" ] || { echo "build/zarvo is missing: run cmake --build build first" >&2; exit 1; }
for p in psutils time; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || {
        sudo=(); [ "$(id -u)" -ne 0 ] && sudo=(sudo)
        "${sudo[@]}" apt-get install -y --no-install-recommends "$p" >/dev/null
    }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/zarvo-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

# An EPS file of about N megabytes made of ordinary drawing lines.
make_eps() { # file megabytes
    python3 - "$1" "$2" <<'PY'
import sys
path, mb = sys.argv[1], int(sys.argv[2])
line = b"123.45 678.90 moveto 234.56 789.01 lineto stroke\n"
block = line * (1024 * 1024 // len(line))
with open(path, "wb") as f:
    f.write(b"%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 595 842\n%%EndComments\n")
    for _ in range(mb):
        f.write(block)
    f.write(b"showpage\n%%EOF\n")
PY
}
# An EPS file whose drawing is one line of N megabytes without a line end.
make_one_line_eps() { # file megabytes
    python3 - "$1" "$2" <<'PY'
import sys
path, mb = sys.argv[1], int(sys.argv[2])
chunk = b"1 1 moveto 2 2 lineto " * (1024 * 1024 // 22)
with open(path, "wb") as f:
    f.write(b"%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 595 842\n")
    for _ in range(mb):
        f.write(chunk)
PY
}
make_sheet() { # sheet eps
    printf '[Global]\nCount=1\nLandscape=0\nPaperHeight=29.6\nPaperWidth=21.0\n[Frame01]\nName=%s\nBBox=1\nXOrigin=0.0\nYOrigin=0.0\n' "$2" > "$1"
}
# Best wall time of a command over $runs runs, in seconds.
best_time() {
    local best=""
    for ((i = 0; i < runs; i++)); do
        local t0 t1 t
        t0=$(date +%s.%N); "$@" >/dev/null 2>&1; t1=$(date +%s.%N)
        t=$(echo "$t1 - $t0" | bc -l)
        if [ -z "$best" ] || (( $(echo "$t < $best" | bc -l) )); then best=$t; fi
    done
    printf '%.3f' "$best"
}
peak_kb() { /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -n 1; }

echo "== Time: one 200 MB EPS file, best of $runs =="
make_eps "$work/big.eps" 200
make_sheet "$work/big.zvs" "$work/big.eps"
cat "$work/big.eps" >/dev/null # into the page cache for all three
t_zarvo=$(best_time "$zarvo" --print "$work/big.zvs" -o "$work/zarvo.ps")
t_epsffit=$(best_time epsffit 0 0 595 839 "$work/big.eps" "$work/epsffit.ps")
t_cat=$(best_time sh -c "cat '$work/big.eps' > '$work/cat.ps'")
printf 'zarvo --print      %8s s\n' "$t_zarvo"
printf 'epsffit            %8s s\n' "$t_epsffit"
printf 'cat                %8s s\n' "$t_cat"
printf 'ratio zarvo/epsffit %7.2f   (target: at most 1.0)\n' "$(echo "$t_zarvo / $t_epsffit" | bc -l)"
printf 'ratio zarvo/cat     %7.2f\n' "$(echo "$t_zarvo / $t_cat" | bc -l)"
rm -f "$work"/*.ps

echo "== Peak memory of the print (maximum resident size) =="
make_eps "$work/small.eps" 2
make_sheet "$work/small.zvs" "$work/small.eps"
make_one_line_eps "$work/oneline.eps" 100
make_sheet "$work/oneline.zvs" "$work/oneline.eps"
m_small=$(peak_kb "$zarvo" --print "$work/small.zvs" -o "$work/s.ps")
m_big=$(peak_kb "$zarvo" --print "$work/big.zvs" -o "$work/b.ps")
m_line=$(peak_kb "$zarvo" --print "$work/oneline.zvs" -o "$work/l.ps")
printf '2 MB EPS            %8s KB\n' "$m_small"
printf '200 MB EPS          %8s KB\n' "$m_big"
printf '100 MB one line     %8s KB\n' "$m_line"
printf 'growth 2 -> 200 MB  %8s KB   (target: within 2048 KB)\n' "$((m_big - m_small))"
printf 'growth 2 -> 1 line  %8s KB   (target: within 2048 KB)\n' "$((m_line - m_small))"
# The long line is copied whole: the job is the EPS file plus the job's own lines.
echo "one-line EPS: $(stat -c %s "$work/oneline.eps") bytes, its job: $(stat -c %s "$work/l.ps") bytes"
