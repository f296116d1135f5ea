#!/usr/bin/env bash
# Benchmark of printing through CUPS: zarvo --print --port of a sheet with a 200 MB EPS file to
# an IPP Everywhere printer (ippeveprinter) behind a raw queue of a private CUPS server, beside
# the file target (-o FILE), best of several runs; then the peak memory of both for a 2 MB and
# a 200 MB EPS. The server, its bus and the printer are private and stop at the end; the
# machine's own CUPS is not touched. For scale it also times CUPS's own client, lp, sending the
# finished job file to the same queue.
# Usage: bench/cups_bench.sh [RUNS]   (needs a built build/zarvo and scripts/install-deps.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
zarvo=$PWD/build/zarvo
[ -x "$zarvo" ] || { echo "build/zarvo is missing: run cmake --build build first" >&2; exit 1; }
for p in time bc; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || {
        sudo=(); [ "$(id -u)" -ne 0 ] && sudo=(sudo)
        "${sudo[@]}" apt-get install -y --no-install-recommends "$p" >/dev/null
    }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/zarvo-cupsbench-XXXXXX")
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
mkdir -p "$work"/{root,state,cache,requests,log,client,home,spool} "$work/tmp"
chmod 1777 "$work/tmp"
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
wait_port() { for _ in $(seq 200); do (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return 0; sleep 0.05; done; return 1; }

port=$(free_port)
cat >"$work/cupsd.conf" <<CONF
Listen 127.0.0.1:$port
Browsing Off
WebInterface No
LogLevel warn
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
CONF
cat >"$work/cups-files.conf" <<CONF
ServerRoot $work/root
StateDir $work/state
CacheDir $work/cache
RequestRoot $work/requests
TempDir $work/tmp
AccessLog $work/log/access_log
ErrorLog $work/log/error_log
PageLog $work/log/page_log
Printcap $work/state/printcap
CONF
dbus-daemon --session --nofork --address="unix:path=$work/bus" >"$work/log/dbus" 2>&1 &
pids+=($!)
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/bus"
export CUPS_SERVER="127.0.0.1:$port" CUPS_SERVERROOT="$work/client"
unset LPDEST PRINTER
/usr/sbin/cupsd -f -c "$work/cupsd.conf" -s "$work/cups-files.conf" >"$work/log/cupsd" 2>&1 &
pids+=($!)
wait_port "$port" || { echo "cupsd did not start" >&2; cat "$work/log/"*; exit 1; }
eve=$(free_port)
# The printer takes PostScript and "prints" at once; it keeps nothing.
ippeveprinter -d "$work/spool" -f application/postscript -r off -p "$eve" -c /bin/true Bench \
    >"$work/log/eve" 2>&1 &
pids+=($!)
wait_port "$eve" || { echo "ippeveprinter did not start" >&2; cat "$work/log/eve"; exit 1; }
lpadmin -p Bench -E -v "ipp://127.0.0.1:$eve/ipp/print"
export HOME="$work/home"
printf '[Ports]\nLPT1=Bench\n' >"$HOME/zarvo.INI"

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
make_sheet() { # sheet eps
    printf '[Global]\nCount=1\nLandscape=0\nPaperHeight=29.6\nPaperWidth=21.0\n[Frame01]\nName=%s\nBBox=1\nXOrigin=0.0\nYOrigin=0.0\n' "$2" > "$1"
}
# Waits until the queue has passed every job on to the printer.
idle() { for _ in $(seq 600); do [ -z "$(lpstat -o Bench 2>/dev/null)" ] && return 0; sleep 0.1; done; }
best_time() {
    local best=""
    for ((i = 0; i < runs; i++)); do
        idle
        local t0 t1 t
        t0=$(date +%s.%N); "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
        t1=$(date +%s.%N)
        t=$(echo "$t1 - $t0" | bc -l)
        if [ -z "$best" ] || (( $(echo "$t < $best" | bc -l) )); then best=$t; fi
        rm -f "$work/out.ps"
    done
    printf '%.3f' "$best"
}
peak_kb() { idle; /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -n 1; rm -f "$work/out.ps"; }

make_eps "$work/big.eps" 200
make_sheet "$work/big.zvs" "$work/big.eps"
make_eps "$work/small.eps" 2
make_sheet "$work/small.zvs" "$work/small.eps"
cat "$work/big.eps" >/dev/null # into the page cache for both

echo "== Time: one 200 MB EPS file, best of $runs =="
t_file=$(best_time "$zarvo" --print "$work/big.zvs" -o "$work/out.ps")
t_cups=$(best_time "$zarvo" --print "$work/big.zvs" --port LPT1)
# CUPS's own client with the finished job file: what the server costs any program.
"$zarvo" --print "$work/big.zvs" -o "$work/job.ps"
t_lp=$(best_time lp -d Bench "$work/job.ps")
rm -f "$work/job.ps"
printf 'file target (-o FILE)   %8s s\n' "$t_file"
printf 'CUPS job (--port LPT1)  %8s s\n' "$t_cups"
printf 'lp of the job file      %8s s\n' "$t_lp"
printf 'ratio CUPS/file         %8.2f   (target: at most 1.5)\n' "$(echo "$t_cups / $t_file" | bc -l)"
printf 'ratio CUPS/lp           %8.2f\n' "$(echo "$t_cups / $t_lp" | bc -l)"

# The program's own processor time in each case: a CUPS job also costs the server, its backend
# and the printer their share of the processors, which the wall time above includes.
cpu_s() { idle; /usr/bin/time -f '%U %S' "$@" 2>&1 >/dev/null | tail -n 1 | awk '{printf "%.2f", $1 + $2}'; rm -f "$work/out.ps"; }
printf 'zarvo CPU: file %s s, CUPS %s s; load average %s\n' \
    "$(cpu_s "$zarvo" --print "$work/big.zvs" -o "$work/out.ps")" \
    "$(cpu_s "$zarvo" --print "$work/big.zvs" --port LPT1)" "$(cut -d' ' -f1 /proc/loadavg)"

echo "== Peak memory (maximum resident size) =="
f_small=$(peak_kb "$zarvo" --print "$work/small.zvs" -o "$work/out.ps")
f_big=$(peak_kb "$zarvo" --print "$work/big.zvs" -o "$work/out.ps")
c_small=$(peak_kb "$zarvo" --print "$work/small.zvs" --port LPT1)
c_big=$(peak_kb "$zarvo" --print "$work/big.zvs" --port LPT1)
printf 'file  2 MB EPS %8s KB   200 MB EPS %8s KB   growth %6s KB\n' \
    "$f_small" "$f_big" "$((f_big - f_small))"
printf 'CUPS  2 MB EPS %8s KB   200 MB EPS %8s KB   growth %6s KB   (target: under 2048 KB)\n' \
    "$c_small" "$c_big" "$((c_big - c_small))"
idle
