#!/usr/bin/env bash
# Downloads a configuration with 48 commands to gateway-sim running at the pace of a real
# 19200 bit/s 8N1 line and compares the measured time with the protocol's lower bound: every
# mandatory 100 ms pause between a request and its acknowledgement, plus every byte of both
# directions at 1920 bytes a second. Fails when the download takes 5 % longer than that.
#
#   bench/download_wire_time.sh [BUILD_DIR]     (default: build, made with ./scripts/build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[ -x "$build/src/cli/gatewaycfg" ] || ./scripts/build >&2
cfg="$build/src/cli/gatewaycfg"
sim="$build/src/sim/gateway-sim"

work=$(mktemp -d)
sim_pid=
cleanup() { [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

file="$work/plant.xml"
source bench/plant_48.sh
make_48_command_plant "$cfg" "$file"

"$sim" --wire-time --idle-exit 60 >"$work/terminal" &
sim_pid=$!
for _ in $(seq 50); do [ -s "$work/terminal" ] && break; sleep 0.1; done
port=$(head -n1 "$work/terminal")

start=$(date +%s.%N)
"$cfg" download "$file" --port "$port" --trace >"$work/trace" 2>"$work/progress" || { cat "$work/progress" >&2; exit 1; }
end=$(date +%s.%N)

# Every traced frame is "-> NAME  HEX ..." or "<- NAME  HEX ...". The two version requests are
# plain write-and-read exchanges; every other request waits the 100 ms pause.
awk -v start="$start" -v end="$end" '
  /^(->|<-) / {
    bytes = 0
    for (i = 1; i <= NF; i++) if ($i ~ /^[0-9A-F][0-9A-F]$/) bytes++
    total += bytes
    if ($1 == "->") { requests++; if ($0 ~ / 01 00 01$/) versions++ }
  }
  END {
    pauses = requests - versions
    bound = pauses * 0.100 + total / 1920.0
    measured = end - start
    ratio = measured / bound
    printf "requests %d (%d with the 100 ms pause), bytes both ways %d\n", requests, pauses, total
    printf "lower bound %.3f s, measured %.3f s, ratio %.3f\n", bound, measured, ratio
    if (ratio < 1) print "(below 1: the short requests and acknowledgements travel during the pauses)"
    exit (ratio < 1.05 ? 0 : 1)
  }' "$work/trace"
