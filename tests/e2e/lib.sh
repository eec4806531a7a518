# Shared by the end-to-end drills of the real window under Xvfb: the tools they
# need, the programs they start (stopped when the drill ends), the window and the
# places of its controls, and what a screenshot shows (LCD digits, link picture,
# grid rows). Sourced by each drill after `set -euo pipefail`.
# Places are in the window's client area, as the window lays out its controls; a
# screenshot of the window also holds the menu bar above it ($menu pixels).

e2e_pids=()
e2e_cleanup() { for p in "${e2e_pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap e2e_cleanup EXIT

fail() { echo "FAIL: $*"; exit 1; }

# Skips the drill (ctest's SKIP_RETURN_CODE) when a tool is missing.
require_tools() {
  local tool
  for tool in xdotool import convert xwininfo "$@"; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/setup-debian installs it)"; exit 77; }
  done
}

# poll TRIES COMMAND...: runs COMMAND every 50 ms until it succeeds, at most TRIES times.
poll() {
  local tries=$1
  shift
  for _ in $(seq "$tries"); do
    "$@" && return 0
    sleep 0.05
  done
  return 1
}

# The first line a meter program prints is its pseudo-terminal: sets pty.
first_line_of() {
  poll 200 test -s "$1" || fail "$(basename "$1" .out) printed no pseudo-terminal"
  pty=$(head -n1 "$1")
  [ -n "$pty" ] || fail "$(basename "$1" .out) printed no pseudo-terminal"
}

# valdrin-sim on a pseudo-terminal, started with ARGS: sets sim_pid and pty.
start_sim() {
  rm -f "$work/sim.out"   # a line left by an earlier run is no pseudo-terminal of ours
  "$sim" --pty --wait "$@" > "$work/sim.out" &
  sim_pid=$!
  e2e_pids+=("$sim_pid")
  first_line_of "$work/sim.out"
}

# pty_feed on a pseudo-terminal: whatever the drill writes to file descriptor 3
# reaches the window's port as it is written. Sets feed_pid and pty.
start_feed() {
  rm -f "$work/feed.in" "$work/feed.out"
  mkfifo "$work/feed.in"
  "$feed" < "$work/feed.in" > "$work/feed.out" &
  feed_pid=$!
  e2e_pids+=("$feed_pid")
  exec 3> "$work/feed.in"
  first_line_of "$work/feed.out"
}

# Under root every file may be written: then the window runs as the user nobody
# (setpriv, util-linux), given the display's key and the port, so that file
# permissions hold for it. Call once $pty is known.
as_user=(env)
as_ordinary_user() {
  [ "$(id -u)" -eq 0 ] || return 0
  command -v setpriv >/dev/null || { echo "SKIP: setpriv is missing"; exit 77; }
  mkdir -p "$work/home"
  chown 65534:65534 "$work/home"
  cp "${XAUTHORITY:?xvfb-run sets XAUTHORITY}" "$work/home/Xauthority"
  chmod 644 "$work/home/Xauthority"
  chmod 666 "$pty"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups
           env HOME="$work/home" XAUTHORITY="$work/home/Xauthority")
  "${as_user[@]}" test -x "$valdrin" -a -w "$work/home" ||
    { echo "SKIP: the user nobody cannot run $valdrin or reach $work"; exit 77; }
}

# send_until_rows FRAME ROWS SHOT: through pty_feed, FRAME (printf text) one at a
# time, each once the grid shows the last, until the grid shows ROWS rows; SHOT is
# the last screenshot. A frame lost (the port's purge at opening) is sent again.
send_until_rows() {
  local rows
  shot "$3"
  rows=$(grid_rows "$3")
  for _ in $(seq 30); do
    [ "$rows" -ge "$2" ] && return 0
    printf "$1" >&3
    for _ in $(seq 20); do
      shot "$3"
      [ "$(grid_rows "$3")" -gt "$rows" ] && break
      sleep 0.05
    done
    rows=$(grid_rows "$3")
  done
  [ "$rows" -ge "$2" ]
}

# valdrin with $pty as COM1, in the start state (the LCD reads 39999). Sets
# valdrin_pid, window and menu.
start_window() {
  VALDRIN_COM1=$pty "${as_user[@]}" "$valdrin" > "$work/valdrin.log" 2>&1 &
  valdrin_pid=$!
  e2e_pids+=("$valdrin_pid")
  window=""
  for _ in $(seq 600); do
    window=$(xdotool search --onlyvisible --name "^Valdrin Interface Program V2.00$" 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && break
    kill -0 "$valdrin_pid" 2>/dev/null || fail "valdrin ended at start: $(cat "$work/valdrin.log")"
    sleep 0.05
  done
  [ -n "$window" ] || fail "no window"
  local height
  height=$(xwininfo -id "$window" | awk '/Height:/ {print $2}')
  menu=$((height - 485))   # the client area is 711 x 485 under the menu bar
  wait_for_digits 39999 "$work/start.png" || fail "LCD digits at start '$digits', expected 39999"
}

# Clicks at X, Y of the client area.
click_at() { xdotool mousemove --window "$window" "$1" $((menu + $2)) click 1; }

# "COM Connect" at 65, 2, 94 x 25; returns once the window holds the port open.
connect_com() {
  click_at $((65 + 47)) $((2 + 12))
  poll 200 port_open || fail "the window did not open $pty"
}
port_open() { ls -l "/proc/$valdrin_pid/fd" 2>/dev/null | grep -q -- "-> $pty"; }
port_closed() { ! port_open; }

shot() { import -window "$window" "$1"; }

# The five digits of the LCD as ssocr reads them. Digits LcdD0..LcdDd stand at
# 40..270, 20..132 of Panel1 (0, 28); the annunciators above them ("AUTO", "DC")
# are painted over with the panel's colour, and segment gaps closed, first.
read_digits() {
  local panel=$((menu + 28))
  convert "$1" -fill "rgb(232,232,232)" -draw "rectangle 0,$panel 60,$((panel + 26))" \
          -draw "rectangle 218,$panel 256,$((panel + 26))" -crop "240x100+36+$((panel + 24))" +repage "$work/lcd.png"
  ssocr -C -d -1 -t 50 -r 4 closing 2 "$work/lcd.png" 2>/dev/null || true
}
# Screenshots until the LCD reads $1 (at most 15 s); the last one is $2, its digits $digits.
wait_for_digits() {
  digits=""
  for _ in $(seq 60); do
    shot "$2"
    digits=$(read_digits "$2")
    [ "$digits" = "$1" ] && return 0
    sleep 0.25
  done
  return 1
}

# The link picture on KD (337, 28) at 5, 5 of it, 25 x 24: "lit" while CONok shows
# (both screens white), "dark" while CONokN shows. The screens are the computer's
# at 2..10, 6..12 and the meter's at 17..22, 3..7 of the picture.
link_picture() {
  local x=$((337 + 5)) y=$((menu + 28 + 5)) level
  level=$(convert "$1" \( +clone -crop "9x7+$((x + 2))+$((y + 6))" +repage \) \
                       \( -clone 0 -crop "6x5+$((x + 17))+$((y + 3))" +repage \) -delete 0 \
                       -colorspace gray -append -format "%[fx:round(255*mean)]" info:)
  if [ "$level" -ge 240 ]; then echo lit
  elif [ "$level" -le 80 ]; then echo dark
  else echo "unclear($level)"
  fi
}

# Rows of the grid DBGrid1 (1, 200, 334 x 281) that hold something: a title row of
# 18 pixels, then rows of 18, of which 14 show. A row holds something when its band
# is not all the empty grid's grey.
grid_rows() {
  local rows=0 k filled
  for k in $(seq 14); do
    filled=$(convert "$1" -crop "270x12+16+$((menu + 221 + 18 * (k - 1)))" +repage -fuzz 2% \
                     -fill black -opaque "rgb(192,192,192)" -fill white +opaque black -colorspace gray \
                     -format "%[fx:round(mean*w*h)]" info:)
    [ "$filled" -gt 100 ] || break
    rows=$k
  done
  echo "$rows"
}
# The grid's picture, to compare two screenshots.
grid_picture() { convert "$1" -crop "334x281+1+$((menu + 200))" +repage "$2"; }
same_picture() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = "0" ]; }

# Top-level windows of valdrin besides the main window (message boxes, dialogs).
other_windows() { xdotool search --onlyvisible --pid "$valdrin_pid" 2>/dev/null | grep -vx "$window" || true; }
count_other_windows() { other_windows | grep -c . || true; }
box_open() { [ -n "$(other_windows)" ]; }
no_box_open() { [ -z "$(other_windows)" ]; }

# A modal box or dialog of valdrin whose title is $1: its window id, once shown.
window_named() { xdotool search --all --onlyvisible --pid "$valdrin_pid" --name "^$1\$" 2>/dev/null | head -n1 || true; }
# In the file dialog that the click at X, Y opens, types PATH and Enter; again if
# the dialog took neither (keys sent while it was still being shown are lost).
choose_file() {
  local dialog=""
  click_at "$1" "$2"
  for _ in $(seq 200); do
    dialog=$(other_windows | head -n1)
    [ -n "$dialog" ] && break
    sleep 0.05
  done
  [ -n "$dialog" ] || fail "no file dialog after the click at $1, $2"
  sleep 0.3   # the dialog gives its file name field the focus once shown
  for _ in $(seq 5); do
    xdotool key --window "$dialog" ctrl+a 2>/dev/null || true
    xdotool type --window "$dialog" --delay 5 "$3"
    xdotool key --window "$dialog" Return 2>/dev/null || true
    poll 40 dialog_answered "$dialog" && return 0
  done
  fail "the file dialog took no file name"
}
# The dialog $1 closed, or asks a question over itself.
dialog_answered() { ! other_windows | grep -qx "$1" || [ "$(count_other_windows)" -ge 2 ]; }
# Enter on box $1 until it is gone (a key sent while the box is still being shown
# can be lost; the key's release finds a closed box gone already).
close_box() {
  for _ in $(seq 50); do
    xdotool key --window "$1" Return 2>/dev/null || true
    poll 4 no_box_open && return 0
  done
  return 1
}
# After the file command named $1: waits for the one box captioned Error (answering
# Yes to a question on the way when $2 is "yes"), checks that it is the only box,
# keeps a picture of the screen and closes the box.
close_the_error_box() {
  local box=""
  for _ in $(seq 200); do
    box=$(window_named Error)
    [ -n "$box" ] && break
    if [ "${2:-}" = yes ] && [ "$(count_other_windows)" -ge 2 ]; then
      xdotool key --window "$(other_windows | tail -n1)" alt+y 2>/dev/null || true
    fi
    sleep 0.05
  done
  import -window root "$work/box.png"
  [ -n "$box" ] || fail "no box captioned Error after $1"
  echo "box 'Error' shown; windows besides the main one: $(count_other_windows)"
  [ "$(count_other_windows)" -eq 1 ] || fail "more than the one box open"
  close_box "$box" || fail "the box did not close with Enter"
}
