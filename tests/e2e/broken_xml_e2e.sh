#!/usr/bin/env bash
# A broken XML file opened: "Open old data files" with the name of a data packet
# cut off half-way. The window says "Failed to Load File!" in a box captioned
# "Error"; once it is closed the table is usable and the next readings are recorded.
# Usage: broken_xml_e2e.sh VALDRIN PTY_FEED WORKDIR   (run inside xvfb-run)
set -euo pipefail

valdrin=$1 feed=$2 work=$3
mkdir -p "$work"
source "$(dirname "$0")/lib.sh"
require_tools ssocr

good_before='123451121\r\n' good_after='234561121\r\n'
printf '%s' '<?xml version="1.0" standalone="yes"?>  <DATAPACKET Version="2.0"><METADATA><FIELDS><FIELD attrname="No" fieldtype="i4"/><FIELD attrname="Ti' > "$work/broken.xml"

start_feed
start_window
connect_com
printf '\n' >&3
send_until_rows "$good_before" 2 "$work/before.png" || fail "the readings before the load were not recorded"

# OpenDataFiles at 268, 178, 23 x 21.
choose_file $((268 + 11)) $((178 + 10)) "$work/broken.xml"
close_the_error_box "the broken file was opened"
shot "$work/loaded.png"
rows_loaded=$(grid_rows "$work/loaded.png")
echo "after the failed load: $rows_loaded rows shown"

send_until_rows "$good_after" $((rows_loaded + 2)) "$work/after.png" || true
rows_after=$(grid_rows "$work/after.png")
digits=$(read_digits "$work/after.png")
echo "after two more readings: LCD '$digits', $rows_after rows"
[ "$digits" = 23456 ] || fail "LCD digits '$digits', expected 23456"
[ "$rows_after" -eq $((rows_loaded + 2)) ] || fail "the readings after the failed load were not recorded"
echo "PASS"
