#!/usr/bin/env bash
# Benchmark of printing: zarvo --print of a sheet holding one large EPS file, side by side with
# cp (the floor of copying) and psutils' epsffit (what a user would pick instead), as medians of
# interleaved runs; the cost of reading a box given as (atend); then the peak memory of the
# print for small, large and one-line EPS.
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
# Wall time of one run of a command, in seconds.
run_time() {
    local t0 t1
    t0=$(date +%s.%N); "$@" >/dev/null 2>&1; t1=$(date +%s.%N)
    echo "$t1 - $t0" | bc -l
}
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {printf "%.3f", a[int((NR+1)/2)]}'; }
peak_kb() { /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -n 1; }

echo "== Time: one 200 MB EPS file, median of $runs interleaved runs =="
make_eps "$work/big.eps" 200
make_sheet "$work/big.zvs" "$work/big.eps"
cat "$work/big.eps" >/dev/null # into the page cache for all three
tz=(); tc=(); te=()
for ((i = 0; i < runs; i++)); do
    tz+=("$(run_time "$zarvo" --print "$work/big.zvs" -o "$work/zarvo.ps")")
    tc+=("$(run_time cp "$work/big.eps" "$work/cp.ps")")
    te+=("$(run_time epsffit 0 0 595 839 "$work/big.eps" "$work/epsffit.ps")")
    rm -f "$work"/*.ps
done
t_zarvo=$(median "${tz[@]}"); t_cp=$(median "${tc[@]}"); t_epsffit=$(median "${te[@]}")
printf 'zarvo --print      %8s s\n' "$t_zarvo"
printf 'cp                 %8s s\n' "$t_cp"
printf 'epsffit            %8s s\n' "$t_epsffit"
printf 'ratio zarvo/cp      %7.2f   (target: at most 1.5)\n' "$(echo "$t_zarvo / $t_cp" | bc -l)"
printf 'ratio zarvo/epsffit %7.2f\n' "$(echo "$t_zarvo / $t_epsffit" | bc -l)"

echo "== Reading a box given as (atend) from a 200 MB EPS file, median of $runs =="
# The box in the trailer (where tools put it), and in the worst case far from the end, so
# that the whole file is read once; one pass of cat over the file for comparison.
python3 - "$work/big.eps" "$work/atend.eps" "$work/atend-far.eps" <<'PY'
import sys
src, tail, far = sys.argv[1:]
data = open(src, "rb").read().replace(b"%%BoundingBox: 0 0 595 842", b"%%BoundingBox: (atend)", 1)
with open(tail, "wb") as f:
    f.write(data + b"%%Trailer\n%%BoundingBox: 0 0 595 842\n%%EOF\n")
half = data.index(b"\n", len(data) // 2) + 1
with open(far, "wb") as f:
    f.write(data[:half] + b"%%BoundingBox: 0 0 595 842\n" + data[half:])
PY
cat "$work/atend.eps" "$work/atend-far.eps" >/dev/null
ta=(); tf=(); tr=()
for ((i = 0; i < runs; i++)); do
    ta+=("$(run_time "$zarvo" --eps-info "$work/atend.eps")")
    tf+=("$(run_time "$zarvo" --eps-info "$work/atend-far.eps")")
    tr+=("$(run_time cat "$work/atend-far.eps")")
done
"$zarvo" --eps-info "$work/atend.eps" "$work/atend-far.eps"
printf '(atend) in the trailer     %8s s\n' "$(median "${ta[@]}")"
printf '(atend) in the middle      %8s s\n' "$(median "${tf[@]}")"
printf 'one pass of cat            %8s s   (the middle case reads the file once)\n' "$(median "${tr[@]}")"
rm -f "$work/atend.eps" "$work/atend-far.eps"
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
