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

meter_bin="$build/tools/meter/nimbrel-meter"
nimbrel_bin="$build/src/app/nimbrel"
work=$(mktemp -d)
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export ASAN_OPTIONS=detect_leaks=0

meter_pid=""; nimbrel_pid=""; feeder_pid=""
cleanup() {
  [ -n "$nimbrel_pid" ] && kill "$nimbrel_pid" 2>/dev/null || true
  [ -n "$meter_pid" ] && kill "$meter_pid" 2>/dev/null || true
  [ -n "$feeder_pid" ] && kill "$feeder_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The meter's logger: a short set, then a day at one record a minute .
mkfifo "$work/meter.in"
sleep 100000 > "$work/meter.in" &
feeder_pid=$!
"$meter_bin" --port COM1 --seed 11 --no-pace \
  --set 40,START=09:00:00,INTERVAL=60 \
  --set 1440,START=07:00:00,INTERVAL=60 \
  < "$work/meter.in" > "$work/meter.out" 2> "$work/meter.err" &
meter_pid=$!
for _ in $(seq 50); do [ -s "$work/meter.out" ] && break; sleep 0.1; done

say() { echo "report-picture: $*" >&2; }
window() {
  local id=""
  for _ in $(seq 150); do
    id=$(xdotool search --onlyvisible --name "^$1" 2>/dev/null | tail -1 || true)
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.1
  done
  say "no window '$1'"; return 1
}
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
shot() {
  local geometry x y w h
  sleep 0.4
  geometry=$(xdotool getwindowgeometry --shell "$1")
  x=$(sed -n 's/^X=//p' <<<"$geometry"); y=$(sed -n 's/^Y=//p' <<<"$geometry")
  w=$(sed -n 's/^WIDTH=//p' <<<"$geometry"); h=$(sed -n 's/^HEIGHT=//p' <<<"$geometry")
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "${w}x${h}+${x}+${y}" +repage "$images/$2.png"
  say "$2.png ${w}x${h}"
}

cd "$work"
"$nimbrel_bin" > "$work/nimbrel.log" 2>&1 &
nimbrel_pid=$!
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
pdftotext -layout "$work/Logger set 2 report.pdf" - | head -40 >&2
say "done"
