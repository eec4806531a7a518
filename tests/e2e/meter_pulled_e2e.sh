#!/usr/bin/env bash
# The meter pulled mid-stream: valdrin-sim is killed while the window records its
# frames. The window keeps running, its link picture turns to "no frames" (CONokN)
# (the time from the pull to the first screenshot that shows it is printed, not
# asserted: the watchdog's third tick is counted by the connection control's own
# tests), it idles afterwards (no busy loop on the hung-up port: under 1% of a core
# over four seconds), and the recorded rows stay in the grid; "COM Connect"
# released then closes the port.
# Usage: meter_pulled_e2e.sh VALDRIN VALDRIN_SIM WORKDIR   (run inside xvfb-run)
set -euo pipefail

valdrin=$1 sim=$2 work=$3
mkdir -p "$work"
source "$(dirname "$0")/lib.sh"
require_tools ssocr compare

start_sim --loop "1.2345 V DC AUTO"
start_window
connect_com
wait_for_digits 12345 "$work/streaming.png" || fail "LCD digits '$digits', expected 12345"
# A full grid, so that a lost or added row shows.
for _ in $(seq 60); do
  shot "$work/streaming.png"
  [ "$(grid_rows "$work/streaming.png")" -eq 14 ] && break
  sleep 0.25
done
rows=$(grid_rows "$work/streaming.png")
link=$(link_picture "$work/streaming.png")
echo "streaming: $rows grid rows shown, link picture $link"
[ "$rows" -eq 14 ] || fail "the grid shows $rows rows while frames arrive, expected 14"
[ "$link" = lit ] || fail "the link picture is $link while frames arrive"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
disown "$sim_pid"   # its end is the point here, not news
kill -KILL "$sim_pid"
pulled=$(now_ms)
link="" last_lit=0
for _ in $(seq 100); do
  taken=$(($(now_ms) - pulled))
  shot "$work/pulled.png"
  link=$(link_picture "$work/pulled.png")
  [ "$link" = dark ] && break
  last_lit=$taken
done
echo "link picture $link in the screenshot begun $taken ms after the meter was pulled (lit in the one begun at $last_lit ms)"
[ "$link" = dark ] || fail "the link picture still shows frames after the meter was pulled"

# Idle: the CPU time of the process (all its threads) over four seconds.
ticks() { awk '{print $14 + $15}' "/proc/$valdrin_pid/stat"; }
hz=$(getconf CLK_TCK)
t0=$(ticks) w0=$(now_ms)
sleep 4
t1=$(ticks) w1=$(now_ms)
used_ms=$(((t1 - t0) * 1000 / hz))
echo "CPU time after the pull: $used_ms ms in $((w1 - w0)) ms"
[ $((used_ms * 100)) -lt $((w1 - w0)) ] || fail "the window uses $used_ms ms of CPU in $((w1 - w0)) ms: a busy loop"

kill -0 "$valdrin_pid" 2>/dev/null || fail "the window ended after the meter was pulled"
shot "$work/later.png"
link=$(link_picture "$work/later.png")
rows=$(grid_rows "$work/later.png")
digits=$(read_digits "$work/later.png")
echo "four seconds later: link picture $link, $rows grid rows, LCD '$digits'"
[ "$link" = dark ] || fail "the link picture is $link four seconds after the pull"
[ "$rows" -eq 14 ] || fail "the grid shows $rows rows after the pull, expected 14"
[ "$digits" = 12345 ] || fail "the LCD reads '$digits' after the pull, expected the last reading 12345"
grid_picture "$work/pulled.png" "$work/grid-pulled.png"
grid_picture "$work/later.png" "$work/grid-later.png"
same_picture "$work/grid-pulled.png" "$work/grid-later.png" || fail "the grid changed after the meter was pulled"

# The window still answers the user: "COM Connect" released closes the dead port.
click_at $((65 + 47)) $((2 + 12))
poll 200 port_closed || fail "releasing COM Connect did not close the port"
echo "COM Connect released: the port is closed"
echo "PASS"
