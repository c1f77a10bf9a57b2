#!/usr/bin/env bash
# Takes the screenshots of the user's guide (docs/images/) under a virtual display: starts the
# virtual meter and Nimbrel, drives them with xdotool as a person would (Return in the port
# window, clicks on toolbar buttons), and crops each window out of a screenshot of the screen.
#
#   scripts/screenshots.sh [BUILD_DIR]       default build/release (what ./run.sh builds)
#   SCALE=2 scripts/screenshots.sh           the same at a device pixel ratio of 2 (QT_SCALE_FACTOR),
#                                            saved as docs/images/hidpi-*.png
#
# Needs xvfb-run, xdotool and ImageMagick (import, convert). The windows get a private runtime
# folder, so the meter's COM1 link never meets another meter's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
scale=${SCALE:-1}
images="$root/docs/images"
mkdir -p "$images"

if [ -z "${NIMBREL_SHOTS_INNER:-}" ]; then
  width=$((1280 * scale)); height=$((1024 * scale))
  NIMBREL_SHOTS_INNER=1 exec xvfb-run -a -s "-screen 0 ${width}x${height}x24" "$0" "$build"
fi

export QT_SCALE_FACTOR=$scale
prefix=""
[ "$scale" != 1 ] && prefix="hidpi-"
name=screenshots
# shellcheck source=scripts/xsession.sh
. "$root/scripts/xsession.sh"

start_meter --seed 7 \
  --set 40,START=09:00:00,INTERVAL=60 \
  --set 120,START=13:30:00,INTERVAL=30,KIND=mixed \
  --set 300,START=08:15:00,INTERVAL=10

# Moves a window to logical x,y of the screen; "away" puts it out of sight.
place() {
  if [ "$2" = away ]; then xdotool windowmove --sync "$1" 20000 0
  else xdotool windowmove --sync "$1" $(($2 * scale)) $(($3 * scale)); fi
}

# The share of pure red pixels in a window's shot: how the blinking OVER and UNDER show.
redness() {
  convert "$1" -fill black +opaque "rgb(255,0,0)" -fill white -opaque "rgb(255,0,0)" \
    -colorspace Gray -format "%[fx:mean]" info:
}

start_nimbrel

# Port window: COM1 is already in the box; Return confirms it.
port=$(window "COM Port")
xdotool windowfocus --sync "$port"
# The list marks the meter after at most a second and a half of listening.
[ "$scale" = 1 ] && { sleep 2; shot "$port" port-window; }
xdotool key Return
panel=$(window "Panel")
sleep 3
shot "$panel" panel

# Alarm dialog: temperature high 20 and CO2 high 500, below the room's readings.
click "$panel" 330 30
alarm=$(window "Alarm")
place "$alarm" 460 0
click "$alarm" 30 50
click "$alarm" 30 162
click "$alarm" 270 50; xdotool key ctrl+a; xdotool type 20
click "$alarm" 270 162; xdotool key ctrl+a; xdotool type 500
[ "$scale" = 1 ] && shot "$alarm" alarm-dialog
click "$alarm" 417 241
sleep 1.5
# The indicators blink with each frame: keep the shot that shows them.
best=0
for i in 1 2 3 4 5 6; do
  shot "$panel" panel-alarm-try
  r=$(redness "$images/${prefix}panel-alarm-try.png")
  if awk "BEGIN{exit !($r > $best)}"; then best=$r; cp "$images/${prefix}panel-alarm-try.png" "$work/alarm.png"; fi
  sleep 0.23
done
rm -f "$images/${prefix}panel-alarm-try.png"
[ "$scale" = 1 ] && cp "$work/alarm.png" "$images/panel-alarm.png"

# Record to a file, open the live list and the real-time graph, let them fill.
click "$panel" 26 30
save=$(window "Save As")
xdotool windowfocus --sync "$save"
xdotool type "$work/office.nblg"
xdotool key Return
sleep 1
click "$panel" 119 30
click "$panel" 165 30
sleep 22
list=$(window "Real Time List")
graph=$(window "Real Time Graph")
shot "$panel" panel-recording
shot "$list" live-list
shot "$graph" realtime-graph

if [ "$scale" = 1 ]; then
  click "$graph" 24 13
  range=$(window "Real Time Range")
  place "$range" 840 0
  shot "$range" realtime-range
  place "$range" away
fi

# Stop recording, open the file into the file list and plot it.
click "$panel" 26 30
place "$list" away
place "$graph" away
click "$panel" 75 30
open=$(window "Open")
xdotool windowfocus --sync "$open"
xdotool type "$work/office.nblg"
xdotool key Return
filelist=$(window "office.nblg")
sleep 1
shot "$filelist" file-list
click "$filelist" 30 19
plot=$(window "Plot Data/File")
sleep 4
shot "$plot" file-graph
[ "$scale" != 1 ] && exit 0
click "$plot" 24 13
plotrange=$(window "Plot Range")
place "$plotrange" 840 0
shot "$plotrange" plot-range
place "$plotrange" away
place "$plot" away
place "$filelist" away

# The meter dumps its logger; list the second set.
echo dump > "$work/meter.in"
memory=$(window "Data Logger")
sleep 6
shot "$memory" data-logger
place "$memory" 900 0
click "$memory" 40 ${SET_ROW_Y:-157}
datalist=$(window "Data List")
sleep 1
shot "$datalist" data-list
say "done"
