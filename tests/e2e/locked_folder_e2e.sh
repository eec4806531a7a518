#!/usr/bin/env bash
# A save into a folder that cannot be written: "Save data files" over a file that
# lies in a read-only folder and may not be written itself. The window says "Could
# not save table to specified file: " with the name, in a box captioned "Error",
# and the old file keeps its contents.
# Usage: locked_folder_e2e.sh VALDRIN PTY_FEED WORKDIR   (run inside xvfb-run)
set -euo pipefail

valdrin=$1 feed=$2 work=$3
mkdir -p "$work"
source "$(dirname "$0")/lib.sh"
require_tools ssocr sha256sum

locked=$work/locked
[ -d "$locked" ] && chmod 755 "$locked"
rm -rf "$locked"
mkdir "$locked"
printf 'No\tTime\tDC/AC\tValue\tUnit\tAuto\r\n1\t10:00:00\tDC\t9.999\tV\tAUTO\r\n' > "$locked/old.txt"
chmod 444 "$locked/old.txt"
chmod 555 "$locked"
trap 'chmod 755 "$locked"; e2e_cleanup' EXIT   # so that the build tree can be removed
old_sum=$(sha256sum < "$locked/old.txt")

start_feed
as_ordinary_user
start_window
connect_com
printf '\n' >&3
send_until_rows '123451121\r\n' 2 "$work/before.png" || fail "the readings were not recorded"

# saveas at 290, 178, 23 x 21. The dialog asks before it overwrites: Yes.
choose_file $((290 + 11)) $((178 + 10)) "$locked/old.txt"
close_the_error_box "the save into $locked" yes

[ "$(sha256sum < "$locked/old.txt")" = "$old_sum" ] || fail "the old file changed"
leftovers=$(ls -A "$locked" | grep -vx old.txt || true)
[ -z "$leftovers" ] || fail "the failed save left files behind: $leftovers"
echo "the old file is untouched and alone in its folder"

# The window goes on recording.
send_until_rows '234561121\r\n' 3 "$work/after.png" || fail "no reading recorded after the failed save"
digits=$(read_digits "$work/after.png")
[ "$digits" = 23456 ] || fail "LCD digits '$digits', expected 23456"
echo "PASS"
