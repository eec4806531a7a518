#!/usr/bin/env bash
# The real valdrin under Xvfb with valdrin-sim's pseudo-terminal as COM1: "COM
# Connect" is clicked where it stands in the window, the reading reaches the LCD
# (its drawn digits read back by ssocr from a screenshot) and the grid.
# Usage: window_e2e.sh VALDRIN VALDRIN_SIM WORKDIR   (run inside xvfb-run)
set -euo pipefail

valdrin=$1 sim=$2 work=$3
mkdir -p "$work"
for tool in xdotool import convert ssocr xwininfo; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/setup-debian installs it)"; exit 77; }
done

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT

# The meter: one reading over and over, at the meter's pace.
"$sim" --pty --wait --loop "1.2345 V DC AUTO" > "$work/sim.out" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/sim.out" ] && break; sleep 0.05; done
pty=$(head -n1 "$work/sim.out")
[ -n "$pty" ] || { echo "FAIL: valdrin-sim printed no pseudo-terminal"; exit 1; }

VALDRIN_COM1=$pty "$valdrin" > "$work/valdrin.log" 2>&1 &
pids+=($!)
window=$(xdotool search --sync --onlyvisible --name "^Valdrin Interface Program V2.00$" | head -n1)
[ -n "$window" ] || { echo "FAIL: no window"; exit 1; }
height=$(xwininfo -id "$window" | awk '/Height:/ {print $2}')
width=$(xwininfo -id "$window" | awk '/Width:/ {print $2}')
menu=$((height - 485))   # the client area is 711 x 485 under the menu bar
echo "window $window: ${width}x${height}, menu bar $menu pixels"
[ "$width" -eq 711 ] || { echo "FAIL: window width $width"; exit 1; }

# Digits LcdD0..LcdDd stand at 40..270, 20..132 of Panel1 (0, 28 in the client
# area). The annunciators above them ("AUTO", "DC") are painted over with the
# panel's colour, and segment gaps closed, before ssocr reads the five digits.
panel=$((menu + 28))
read_digits() {
  convert "$1" -fill "rgb(232,232,232)" -draw "rectangle 0,$panel 60,$((panel + 26))" \
          -draw "rectangle 218,$panel 256,$((panel + 26))" -crop "240x100+36+$((panel + 24))" +repage "$work/lcd.png"
  ssocr -C -d 5 -t 50 -r 4 closing 2 "$work/lcd.png" 2>/dev/null || true
}
# Screenshots until the LCD reads $1 (at most 15 s); the last one is $2.
wait_for_digits() {
  digits=""
  for _ in $(seq 60); do
    import -window "$window" "$2"
    digits=$(read_digits "$2")
    [ "$digits" = "$1" ] && return 0
    sleep 0.25
  done
  return 1
}

wait_for_digits 39999 "$work/start.png" || true
echo "ssocr read the LCD at start as: '$digits'"
[ "$digits" = "39999" ] || { echo "FAIL: LCD digits at start '$digits', expected 39999"; exit 1; }

# "COM Connect" at 65, 2, 94 x 25 of the client area.
xdotool mousemove --window "$window" $((65 + 47)) $((menu + 2 + 12)) click 1
wait_for_digits 12345 "$work/connected.png" || true
echo "ssocr read the LCD as: '$digits'"
[ "$digits" = "12345" ] || { echo "FAIL: LCD digits '$digits', expected 12345"; exit 1; }

# The grid (1, 200, 334 x 281): its first row, empty at start, now holds text.
row_geometry="280x16+14+$((menu + 200 + 22))"
dark() { convert "$1" -crop "$row_geometry" +repage -colorspace gray -threshold 40% -format "%[fx:round((1-mean)*w*h)]" info:; }
before=$(dark "$work/start.png")
after=$(dark "$work/connected.png")
echo "dark pixels of the grid's first row: $before before, $after after connecting"
[ "$before" -eq 0 ] && [ "$after" -gt 50 ] || { echo "FAIL: the grid shows no reading"; exit 1; }
echo "PASS"
