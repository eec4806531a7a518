#!/usr/bin/env bash
# The real valdrin under Xvfb with valdrin-sim's pseudo-terminal as COM1: "COM
# Connect" is clicked where it stands in the window, the reading reaches the LCD
# (its drawn digits read back by ssocr from a screenshot) and the grid.
# Usage: window_e2e.sh VALDRIN VALDRIN_SIM WORKDIR   (run inside xvfb-run)
set -euo pipefail

valdrin=$1 sim=$2 work=$3
mkdir -p "$work"
source "$(dirname "$0")/lib.sh"
require_tools ssocr

# The meter: one reading over and over, at the meter's pace.
start_sim --loop "1.2345 V DC AUTO"
start_window
width=$(xwininfo -id "$window" | awk '/Width:/ {print $2}')
echo "window $window: ${width} wide, menu bar $menu pixels"
[ "$width" -eq 711 ] || fail "window width $width"
echo "ssocr read the LCD at start as: '$digits'"

connect_com
wait_for_digits 12345 "$work/connected.png" || true
echo "ssocr read the LCD as: '$digits'"
[ "$digits" = "12345" ] || fail "LCD digits '$digits', expected 12345"

# The grid's first row, empty at start, now holds the reading.
before=$(grid_rows "$work/start.png")
after=$(grid_rows "$work/connected.png")
echo "grid rows holding text: $before before, $after after connecting"
[ "$before" -eq 0 ] && [ "$after" -ge 1 ] || fail "the grid shows no reading"
echo "PASS"
