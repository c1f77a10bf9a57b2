#!/usr/bin/env bash
# Makes the user's guide's picture of an indoor-air report (docs/images/report-*.png) from a
# recording of the virtual meter: under a virtual display the meter dumps its logger, a day's
# set is listed into the data list, its "Report" button opens the report dialog, OK writes the
# PDF, and the pages become pictures (pdftoppm). The dialog is shot too.
#
#   scripts/report-picture.sh [BUILD_DIR]       default build/release (what ./run.sh builds)
#
# Needs xvfb-run, xdotool, ImageMagick (import, convert) and poppler-utils (pdftoppm).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
images="$root/docs/images"
mkdir -p "$images"

if [ -z "${NIMBREL_SHOTS_INNER:-}" ]; then
  NIMBREL_SHOTS_INNER=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build"
fi

name=report-picture
# shellcheck source=scripts/xsession.sh
. "$root/scripts/xsession.sh"

# The meter's logger: a short set, then a day at one record a minute.
start_meter --seed 11 --no-pace \
  --set 40,START=09:00:00,INTERVAL=60 \
  --set 1440,START=07:00:00,INTERVAL=60

start_nimbrel
port=$(window "COM Port")
xdotool windowfocus --sync "$port"
xdotool key Return
window "Panel" > /dev/null
sleep 2

# The dump, and the day's set (the second row) into the data list.
echo dump > "$work/meter.in"
memory=$(window "Data Logger")
sleep 8
xdotool windowmove --sync "$memory" 900 0
click "$memory" 40 "${SET_ROW_Y:-157}"
datalist=$(window "Data List")
sleep 2
[ -n "${SHOW_DATALIST:-}" ] && shot "$datalist" report-datalist-try

# "Report" is the last button of the toolbar row.
click "$datalist" "${REPORT_X:-250}" 19
dialog=$(window "Indoor-air report")
xdotool windowfocus --sync "$dialog"
shot "$dialog" report-dialog
xdotool key Return
for _ in $(seq 100); do [ -s "$work/Logger set 2 report.pdf" ] && break; sleep 0.2; done
sleep 1
pdftoppm -png -r 60 "$work/Logger set 2 report.pdf" "$work/page"
cp "$work/page-1.png" "$images/report-page1.png"
cp "$work/page-2.png" "$images/report-page2.png"
pdftotext -layout "$work/Logger set 2 report.pdf" "$work/report.txt"
head -40 "$work/report.txt" >&2
say "done"
