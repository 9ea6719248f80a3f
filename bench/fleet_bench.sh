#!/usr/bin/env bash
# N (default 32) gateway-sims at the pace of a real 19200 bit/s line, each behind its own port of
# one ser2net (raw TCP, or RFC 2217): a 48-command configuration downloaded to one module, then to all N with
# `gatewaycfg fleet --action download` and every job at once; the same for verify. Prints each
# fleet run's time against one module's, the fleet's peak memory and processor time, and fails
# when a fleet run takes more than 1.2 times one module's or more than 64 MB.
#
#   bench/fleet_bench.sh [BUILD_DIR] [N] [socket|rfc2217]
#                                  (default: build, made with ./scripts/build; 32; socket)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
count=${2:-32}
scheme=${3:-socket}
[ -x "$build/src/cli/gatewaycfg" ] || ./scripts/build >&2
cfg="$build/src/cli/gatewaycfg"
sim="$build/src/sim/gateway-sim"

work=$(mktemp -d)
pids=()
cleanup()
{
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

file="$work/plant.xml"
source bench/plant_48.sh
make_48_command_plant "$cfg" "$file"

# One simulator per module, at the pace of the line; a free TCP port for each.
read -r -a ports <<<"$(/usr/bin/python3 -c '
import socket, sys
held = [socket.socket() for _ in range(int(sys.argv[1]))]
for s in held: s.bind(("127.0.0.1", 0))
print(" ".join(str(s.getsockname()[1]) for s in held))' "$((count + 1))")"
{
  echo "%YAML 1.1"
  echo "---"
  for i in $(seq 0 "$count"); do
    "$sim" --wire-time --idle-exit 600 >"$work/terminal$i" &
    pids+=($!)
    for _ in $(seq 50); do [ -s "$work/terminal$i" ] && break; sleep 0.1; done
    printf 'connection: &m%d\n  accepter: %stcp,127.0.0.1,%d\n  connector: serialdev,%s,19200n81,local\n' \
      "$i" "$([ "$scheme" = rfc2217 ] && echo "telnet(rfc2217),")" "${ports[$i]}" "$(head -n1 "$work/terminal$i")"
  done
} >"$work/ser2net.yaml"
/usr/sbin/ser2net -n -c "$work/ser2net.yaml" -P "$work/ser2net.pid" 2>"$work/ser2net.log" &
pids+=($!)
for _ in $(seq 100); do
  grep -q ":$(printf '%04X' "${ports[$count]}") 00000000:0000 0A" /proc/net/tcp && break
  sleep 0.1
done

# Module 0 alone; modules 1 to N in the plan.
echo "name,port,file" >"$work/plan.csv"
for i in $(seq 1 "$count"); do
  printf 'm%02d,%s://127.0.0.1:%d,plant.xml\n' "$i" "$scheme" "${ports[$i]}" >>"$work/plan.csv"
done

seconds() { awk -v start="$1" -v end="$(date +%s.%N)" 'BEGIN { printf "%.3f", end - start }'; }
failed=0
for action in download verify; do
  start=$(date +%s.%N)
  "$cfg" "$action" "$file" --port "$scheme://127.0.0.1:${ports[0]}" >/dev/null 2>"$work/one.log" ||
    { cat "$work/one.log" >&2; exit 1; }
  one=$(seconds "$start")
  start=$(date +%s.%N)
  /usr/bin/time -f "%M %U %S" -o "$work/peak" "$cfg" fleet "$work/plan.csv" --action "$action" >"$work/fleet.log" 2>&1 ||
    { tail -n 5 "$work/fleet.log" >&2; exit 1; }
  many=$(seconds "$start")
  read -r peak user sys < <(tail -n1 "$work/peak")
  awk -v action="$action" -v one="$one" -v count="$count" -v many="$many" -v peak="$peak" -v cpu="$user + $sys" 'BEGIN {
    split(cpu, parts, " [+] ")
    printf "%-8s one module %6.2f s   %d modules %6.2f s   ratio %5.3f   peak memory %5.1f MB   cpu %.2f s\n",
           action, one, count, many, many / one, peak / 1024, parts[1] + parts[2]
    exit (many / one <= 1.2 && peak <= 64 * 1024) ? 0 : 1
  }' || failed=1
done
exit $failed
