#!/usr/bin/env bash
# A bad frame among good ones: frames of 1.2345 V, one frame whose range nibble is
# "B" (it passes the framing, its conversion fails), then frames of 2.3456 V, all
# written by the drill through pty_feed. The window shows one error box, not one per
# frame; the frames on either side are recorded, those after it while the box is
# still open; the box closes with Enter and no other follows.
# Usage: bad_frame_e2e.sh VALDRIN PTY_FEED WORKDIR   (run inside xvfb-run)
set -euo pipefail

valdrin=$1 feed=$2 work=$3
mkdir -p "$work"
source "$(dirname "$0")/lib.sh"
require_tools ssocr

# Zentor frames as the meter sends them: nine bytes 0x30 + nibble, CR, LF. The
# nibbles are five digits, range, function, coupling, status: 1 V range, volts,
# DC, AUTO. ";" is 0x3B, the range nibble B.
good_before='123451121\r\n' bad='98765;121\r\n' good_after='234561121\r\n'

start_feed
start_window
connect_com

# The frames before, counted exactly. The line feed first opens the first frame, as
# a meter that was talking before would.
printf '\n' >&3
send_until_rows "$good_before" 3 "$work/before.png" || true
rows_before=$(grid_rows "$work/before.png")
digits=$(read_digits "$work/before.png")
echo "before the bad frame: LCD '$digits', $rows_before rows"
[ "$digits" = 12345 ] && [ "$rows_before" -eq 3 ] || fail "the frames before the bad one were not shown and recorded"

printf "$bad" >&3
poll 200 box_open || fail "no error box for the bad frame"
box=$(other_windows)
echo "error box $box: '$(xdotool getwindowname "$box")'"

# The frames after, while the box is open. The bad frame's line feed still opens
# the first of them: no good frame is lost to the bad one.
sent_after=4
for _ in $(seq "$sent_after"); do
  printf "$good_after" >&3
  sleep 0.1
done
expected=$((rows_before + sent_after))
for _ in $(seq 40); do
  shot "$work/box-open.png"
  [ "$(grid_rows "$work/box-open.png")" -ge "$expected" ] && break
  sleep 0.25
done
rows_open=$(grid_rows "$work/box-open.png")
import -window root "$work/box.png"
boxes=$(count_other_windows)
echo "while the box is open: $rows_open rows (expected $expected), $boxes boxes"
[ "$boxes" -eq 1 ] || fail "$boxes boxes for one bad frame"
[ "$rows_open" -eq "$expected" ] || fail "$rows_open rows while the box is open, expected $expected"

close_box "$box" || fail "the error box did not close with Enter"
wait_for_digits 23456 "$work/after.png" || fail "LCD digits '$digits' after the bad frame, expected 23456"
rows_after=$(grid_rows "$work/after.png")
boxes=$(count_other_windows)
echo "after the box: LCD '$digits', $rows_after rows, $boxes boxes"
[ "$rows_after" -eq "$expected" ] || fail "$rows_after rows after the box was closed, expected $expected"
[ "$boxes" -eq 0 ] || fail "another box opened after the first was closed"
echo "PASS"
