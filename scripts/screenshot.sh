#!/usr/bin/env bash
# Starts a program on a virtual X display (Xvfb) and saves a PNG of the screen
# once the program's windows are up and the picture has stopped changing.
#   scripts/screenshot.sh <output.png> <program> [arguments...]
# SCREEN_SIZE (default 1024x768x24) and SCREENSHOT_TIMEOUT (seconds, default 30)
# change the display and how long to wait for it.
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: $0 <output.png> <program> [arguments...]" >&2
  exit 2
fi
out=$(realpath -m "$1"); shift
if [ -z "${VELUMO_IN_XVFB:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "screenshot: xvfb-run missing (package xvfb)" >&2; exit 1; }
  command -v import >/dev/null || { echo "screenshot: import missing (package imagemagick)" >&2; exit 1; }
  exec env VELUMO_IN_XVFB=1 xvfb-run -a -s "-screen 0 ${SCREEN_SIZE:-1024x768x24}" "$0" "$out" "$@"
fi

unset QT_QPA_PLATFORM  # a real X connection, not Qt's offscreen one
"$@" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true' EXIT

work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
deadline=$((SECONDS + ${SCREENSHOT_TIMEOUT:-30}))
previous=""
while [ $SECONDS -lt $deadline ]; do
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "screenshot: the program ended before its window could be taken" >&2
    exit 1
  fi
  import -window root "$work/shot.png" 2>/dev/null || true
  if [ -s "$work/shot.png" ] && [ "$(identify -format %k "$work/shot.png")" -gt 1 ]; then
    sum=$(md5sum <"$work/shot.png")
    # Two equal pictures in a row: drawing has finished.
    if [ "$sum" = "$previous" ]; then
      cp "$work/shot.png" "$out"
      echo "saved $out"
      exit 0
    fi
    previous=$sum
  fi
  sleep 0.5
done
echo "screenshot: no stable window within ${SCREENSHOT_TIMEOUT:-30} s" >&2
exit 1
