#!/usr/bin/env bash
# Starts the program under a headless Wayland compositor (weston) whose output
# has scale 2, with no X display and no platform chosen, and checks from the
# Wayland protocol log that it runs on Qt's Wayland platform: its window
# becomes a toplevel with the application's title and a picture drawn at
# twice the density is committed to its surface. With a second program
# (wayland_chrome), also that a click on Minimise asks the compositor to
# minimise the window.
#   wayland-start.sh <program> [chrome program]
# Exits 77 (skipped) when weston is missing or cannot start here.
set -euo pipefail
program=$(realpath -m "$1")
chrome=${2:+$(realpath -m "$2")}
title="Velumo MP3 Ringtone Maker"
if ! command -v weston >/dev/null; then
  echo "SKIP: weston is not installed (package weston)"
  exit 77
fi
[ -x "$program" ] || { echo "FAIL: no program at $program" >&2; exit 1; }

runtime=$(mktemp -d)
chmod 700 "$runtime"
weston_pid=""
client_pid=""
cleanup() {
  set +e
  [ -n "$client_pid" ] && kill "$client_pid" 2>/dev/null && wait "$client_pid" 2>/dev/null
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
  rm -rf "$runtime"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$runtime
socket=velumo-test
# Its own output goes to files: the helper clients it starts must not keep
# the test's output open.
weston --backend=headless-backend.so --scale=2 --socket="$socket" --idle-time=0 \
  --log="$runtime/weston.log" >"$runtime/weston.out" 2>&1 </dev/null &
weston_pid=$!
for _ in $(seq 1 300); do
  [ -S "$runtime/$socket" ] && break
  kill -0 "$weston_pid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -S "$runtime/$socket" ]; then
  echo "SKIP: weston did not start here:"
  cat "$runtime/weston.log" 2>/dev/null || true
  exit 77
fi

unset DISPLAY QT_QPA_PLATFORM XDG_SESSION_TYPE QT_SCALE_FACTOR
export WAYLAND_DISPLAY=$socket WAYLAND_DEBUG=1 SDL_AUDIODRIVER=dummy

# Runs a client with its protocol log in $log until all given patterns are
# in the log (60 s at most), then ends it.
run_until() {
  local what=$1; shift
  local log=$runtime/$what.log
  "$@" >"$runtime/$what.out" 2>"$log" </dev/null &
  client_pid=$!
  local ok=""
  for _ in $(seq 1 600); do
    ok=yes
    for pattern in "${patterns[@]}"; do
      grep -q -- "$pattern" "$log" || { ok=""; break; }
    done
    [ -n "$ok" ] && break
    if ! kill -0 "$client_pid" 2>/dev/null; then
      echo "FAIL: $what ended early:" >&2
      grep -v "^\[" "$log" | tail -n 20 >&2 || true
      exit 1
    fi
    sleep 0.1
  done
  kill "$client_pid" 2>/dev/null; wait "$client_pid" 2>/dev/null || true
  client_pid=""
  if [ -z "$ok" ]; then
    echo "FAIL: $what: no \"$pattern\" in the Wayland protocol log within 60 s" >&2
    grep -v "^\[" "$log" | tail -n 20 >&2 || true
    exit 1
  fi
}

# A toplevel with our title; pictures at twice the density, attached and committed.
patterns=("xdg_toplevel@[0-9]*\.set_title(\"$title\")" "-> wl_surface@[0-9]*\.set_buffer_scale(2)"
  "-> wl_surface@[0-9]*\.attach(wl_buffer@" "-> wl_surface@[0-9]*\.commit()")
run_until program "$program"
echo "PASS: the program runs on Wayland at scale 2 and its window appears"

if [ -n "$chrome" ]; then
  patterns=("xdg_toplevel@[0-9]*\.set_title(\"$title\")" "-> xdg_toplevel@[0-9]*\.set_minimized()")
  run_until chrome "$chrome"
  echo "PASS: Minimise asks the Wayland compositor to minimise the window"
fi
