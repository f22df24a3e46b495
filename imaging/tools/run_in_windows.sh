#!/usr/bin/env bash
# Runs a program that shows the OpenCV windows "Image" and "modified" and then
# waits for a key:
#   run_in_windows.sh [--screenshot FILE.png] [--places FILE.txt] PROGRAM [ARGS ...]
# With a display that answers ($DISPLAY set) the program simply runs and the
# user presses a key. Otherwise it runs on a virtual X display of its own
# (Xvfb): once both windows are up, "modified" is moved below "Image", and a
# screenshot is saved as FILE.png (windows.png by default): each window under
# a title bar naming it, and below them the stretch that turned red in
# "modified", magnified. The windows' places in it go to the --places
# file if one is named ("NAME X Y WIDTH HEIGHT" a line). Then a key is
# pressed in a window so that waitKey returns. Nothing is kept when no window
# opened.
#
# The program's standard output passes through untouched; this script writes
# to standard error only. It exits with the program's status, or 124 when a
# time-out ran out, saying what did not come. Every wait is bounded (the
# longest, for the windows, by 30 s), and the display is always stopped.
set -uo pipefail

screenshot=windows.png
geometry=
while [ $# -ge 2 ]; do
  case $1 in
    --screenshot) screenshot=$2 ;;
    --places) geometry=$2 ;;
    *) break ;;
  esac
  shift 2
done
if [ $# -eq 0 ]; then
  echo "usage: $0 [--screenshot FILE.png] [--places FILE.txt] PROGRAM [ARGS ...]" >&2
  exit 2
fi

# A display that does not answer (a closed session, ssh without X) would make
# the program abort: take the virtual one then.
if [ -n "${DISPLAY:-}" ] && timeout 5 xdotool getmouselocation >/dev/null 2>&1; then
  exec "$@"
fi

window_wait=30    # seconds for both windows to open (sanitizer builds start slowly)
settle_wait=5     # seconds for the screen to settle for a screenshot
exit_wait=5       # seconds for the program to end after the key
program_limit=45  # seconds after which the program is stopped whatever happens
bar=24            # height of the title bar drawn above each window

say() { echo "run_in_windows: $*" >&2; }

case $screenshot in /*) ;; *) screenshot=$PWD/$screenshot ;; esac
if [ -n "$geometry" ]; then
  case $geometry in /*) ;; *) geometry=$PWD/$geometry ;; esac
  rm -f "$geometry"
fi
rm -f "$screenshot"

scratch=$(mktemp -d)
xvfb_pid=
program_pid=
cleanup() {
  if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
    kill "$program_pid" 2>/dev/null
    wait "$program_pid" 2>/dev/null
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# A display number at random from a wide range, so that parallel runs, and
# a display just freed by another run (whose server may still be tidying its
# socket away), are unlikely to be picked; Xvfb refuses a number in use, and
# then another is tried. It writes the number to descriptor 3 when ready.
# -noreset: by default the server resets when its last client leaves, and a
# client that connects during the reset (the program, right after the check
# below has disconnected) is refused.
start_display() {
  local number=$1
  rm -f "$scratch/display"
  Xvfb ":$number" -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp -noreset 3>"$scratch/display" \
    >"$scratch/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for ((tick = 0; tick < 100; tick++)); do
    [ -s "$scratch/display" ] && return 0
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=
  return 1
}
started=false
for ((try = 0; try < 3; try++)); do
  if start_display $((1000 + RANDOM % 30000)); then
    started=true
    break
  fi
done
if [ "$started" = false ]; then
  say "Xvfb did not start:"; cat "$scratch/xvfb.log" >&2; exit 124
fi
export DISPLAY=":$(head -n 1 "$scratch/display")"
if ! timeout 5 xdotool getmouselocation >/dev/null 2>&1; then
  say "cannot reach the display $DISPLAY"; exit 124
fi
# Qt wants a private run-time folder; give it one rather than a warning.
export XDG_RUNTIME_DIR=$scratch/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

timeout -k 5 "$program_limit" "$@" </dev/null &
program_pid=$!

# Returns the id of the visible window with exactly this title, if any.
find_window() {
  timeout 5 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1
}

# Wait for both windows; a program that ends first (it could not read its
# picture) opened none, and its status is the answer.
image= modified=
deadline=$((SECONDS + window_wait))
while :; do
  if ! kill -0 "$program_pid" 2>/dev/null; then
    wait "$program_pid"
    status=$?
    program_pid=
    exit "$status"
  fi
  image=$(find_window Image)
  modified=$(find_window modified)
  [ -n "$image" ] && [ -n "$modified" ] && break
  if [ "$SECONDS" -ge "$deadline" ]; then
    say "the windows did not open within $window_wait s"; exit 124
  fi
  sleep 0.1
done

# Without a window manager both windows open at the top left, one over the
# other, and without title bars: put each at the left edge with room for a
# title bar above it, "modified" below "Image" (Qt's tool bar makes them
# wide). Sets X, Y, WIDTH and HEIGHT to the place of a window.
place_of() {
  local shell
  shell=$(timeout 5 xdotool getwindowgeometry --shell "$1") || return 1
  eval "$shell"
}
place_of "$image" || { say "cannot find where \"Image\" is"; exit 124; }
if ! timeout 5 xdotool windowmove --sync "$image" 0 "$bar" ||
  ! timeout 5 xdotool windowmove --sync "$modified" 0 $((2 * bar + HEIGHT)); then
  say "could not move the windows apart"; exit 124
fi
place_of "$image" || { say "cannot find where \"Image\" is now"; exit 124; }
ix=$X iy=$Y iw=$WIDTH ih=$HEIGHT
place_of "$modified" || { say "cannot find where \"modified\" is"; exit 124; }
mx=$X my=$Y mw=$WIDTH mh=$HEIGHT
if [ -n "$geometry" ]; then
  printf 'Image %s %s %s %s\nmodified %s %s %s %s\n' \
    "$ix" "$iy" "$iw" "$ih" "$mx" "$my" "$mw" "$mh" >"$geometry"
fi

# The windows repaint after the move: take screenshots until two in a row
# agree. (ImageMagick's import reads the screen; xwd sees only black here.)
shot=$scratch/next.png
deadline=$((SECONDS + settle_wait))
until [ -f "$scratch/last.png" ] && cmp -s "$scratch/last.png" "$shot"; do
  if [ "$SECONDS" -ge "$deadline" ]; then
    say "the screen did not settle for a screenshot within $settle_wait s"; exit 124
  fi
  [ -f "$shot" ] && mv "$shot" "$scratch/last.png"
  sleep 0.2
  timeout 5 import -window root "png:$shot"
done

# The screenshot: the screen cut down to the windows (the rest is black),
# a title bar with its name above each, and below them the stretch that
# "modified" shows red and "Image" does not, magnified (four times where it
# fits), so that a red line one pixel thick can be seen. The windows
# themselves stay exactly as shown.
width=$((iw > mw ? iw : mw))
titles=(-fill '#30415d' -draw "rectangle 0,$((iy - bar)) $((iw - 1)),$((iy - 1))"
  -draw "rectangle 0,$((my - bar)) $((mw - 1)),$((my - 1))"
  -fill white -font DejaVu-Sans -pointsize 15
  -annotate +8+$((iy - 7)) Image -annotate +8+$((my - 7)) modified)
in_modified=${mw}x${mh}+0+$my
red_only=$(convert "$shot" \( -clone 0 -crop "${iw}x${ih}+0+$iy" \) \
  \( -clone 0 -crop "$in_modified" \) -delete 0 +repage -fill black +opaque red \
  -compose difference -composite -format %@ info: 2>/dev/null)
IFS='x+' read -r rw rh rx ry <<<"$red_only"
magnified=()
if [ "${rw:-0}" -gt 0 ] && [ "${rh:-0}" -gt 0 ]; then
  around=$((rw + 40))x$((rh + 40))+$((rx > 20 ? rx - 20 : 0))+$((ry > 20 ? ry - 20 : 0))
  magnified=(\( "$shot" -crop "$in_modified" +repage -crop "$around" +repage
    -scale 400% -resize "${width}x>" -background '#30415d' -splice "0x$bar"
    -annotate +8+$((bar - 7)) "modified, where it turned red, magnified" \))
fi
convert "$shot" "${titles[@]}" -crop "${width}x$((my + mh))+0+0" +repage \
  "${magnified[@]}" -background '#efefef' -append "$screenshot" ||
  { say "could not write the screenshot $screenshot"; exit 124; }
say "screenshot of both windows: $screenshot"

# A key pressed with no window focused is lost: focus one, then press.
if ! timeout 5 xdotool windowfocus --sync "$modified" key space; then
  say "could not press a key in the window \"modified\""; exit 124
fi
deadline=$((SECONDS + exit_wait))
while kill -0 "$program_pid" 2>/dev/null; do
  if [ "$SECONDS" -ge "$deadline" ]; then
    say "the program did not end within $exit_wait s of the key"; exit 124
  fi
  sleep 0.1
done
wait "$program_pid"
status=$?
program_pid=
exit "$status"
