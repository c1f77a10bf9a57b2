# The stage that scripts/screenshots.sh and scripts/report-picture.sh share (sourced, not run):
# a private runtime folder (so the meter's COM1 link never meets another meter's), the virtual
# meter on COM1 reading commands from a pipe, Nimbrel, and the xdotool and ImageMagick helpers
# that find, click and shoot windows. The caller sets $build, $images and $name (for messages),
# and may set $scale (device pixel ratio) and $prefix (of the pictures' names).
scale=${scale:-1}
prefix=${prefix:-}
meter_bin="$build/tools/meter/nimbrel-meter"
nimbrel_bin="$build/src/gui/app/nimbrel"
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

# The virtual meter on COM1 with the options given; it reads commands ("dump") from a pipe that
# stays open.
start_meter() {
  mkfifo "$work/meter.in"
  sleep 100000 > "$work/meter.in" &
  feeder_pid=$!
  "$meter_bin" --port COM1 "$@" < "$work/meter.in" > "$work/meter.out" 2> "$work/meter.err" &
  meter_pid=$!
  for _ in $(seq 50); do [ -s "$work/meter.out" ] && break; sleep 0.1; done
}

# Nimbrel, started in the work folder (where its printouts and reports land).
start_nimbrel() {
  cd "$work"
  "$nimbrel_bin" > "$work/nimbrel.log" 2>&1 &
  nimbrel_pid=$!
}

say() { echo "$name: $*" >&2; }

# The window whose title starts with $1 (waits up to 15 s for it).
window() {
  local id=""
  for _ in $(seq 150); do
    id=$(xdotool search --onlyvisible --name "^$1" 2>/dev/null | tail -1 || true)
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.1
  done
  say "no window '$1'"; return 1
}

# Clicks at logical pixel x,y of a window (scaled to device pixels).
click() { xdotool mousemove --window "$1" $(($2 * scale)) $(($3 * scale)) click 1; }

# Saves the window as $images/<prefix>$2.png, cut out of a screenshot of the whole screen.
shot() {
  local geometry x y w h
  sleep 0.4
  geometry=$(xdotool getwindowgeometry --shell "$1")
  x=$(sed -n 's/^X=//p' <<<"$geometry"); y=$(sed -n 's/^Y=//p' <<<"$geometry")
  w=$(sed -n 's/^WIDTH=//p' <<<"$geometry"); h=$(sed -n 's/^HEIGHT=//p' <<<"$geometry")
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "${w}x${h}+${x}+${y}" +repage "$images/$prefix$2.png"
  say "$prefix$2.png ${w}x${h}"
}
