#!/usr/bin/env bash
# Starts the program under a headless Wayland compositor (weston), with no X
# display and no platform chosen, and checks from the Wayland protocol log
# that it runs on Qt's Wayland platform: its window becomes a toplevel with
# the application's title, and a picture is committed to its surface.
#   wayland-start.sh <program>
# Exits 77 (skipped) when weston is missing or cannot start here.
set -euo pipefail
program=$(realpath -m "$1")
title="Velumo MP3 Ringtone Maker"
if ! command -v weston >/dev/null; then
  echo "SKIP: weston is not installed (package weston)"
  exit 77
fi
[ -x "$program" ] || { echo "FAIL: no program at $program" >&2; exit 1; }

runtime=$(mktemp -d)
chmod 700 "$runtime"
weston_pid=""
program_pid=""
cleanup() {
  set +e
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null && wait "$program_pid" 2>/dev/null
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
  rm -rf "$runtime"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$runtime
socket=velumo-test
# Its own output goes to files: the helper clients it starts must not keep
# the test's output open.
weston --backend=headless-backend.so --socket="$socket" --idle-time=0 --log="$runtime/weston.log" \
  >"$runtime/weston.out" 2>&1 </dev/null &
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

unset DISPLAY QT_QPA_PLATFORM XDG_SESSION_TYPE
WAYLAND_DISPLAY=$socket WAYLAND_DEBUG=1 SDL_AUDIODRIVER=dummy "$program" >"$runtime/program.out" 2>"$runtime/protocol.log" </dev/null &
program_pid=$!

# A toplevel with our title, then a buffer attached and committed.
shown() {
  grep -q "xdg_toplevel@[0-9]*\.set_title(\"$title\")" "$runtime/protocol.log" &&
    grep -q -- "-> wl_surface@[0-9]*\.attach(wl_buffer@" "$runtime/protocol.log" &&
    grep -q -- "-> wl_surface@[0-9]*\.commit()" "$runtime/protocol.log"
}
for _ in $(seq 1 600); do
  shown && break
  if ! kill -0 "$program_pid" 2>/dev/null; then
    echo "FAIL: the program ended on start:" >&2
    tail -n 30 "$runtime/protocol.log" >&2
    exit 1
  fi
  sleep 0.1
done
if ! shown; then
  echo "FAIL: no window with the title \"$title\" on the Wayland compositor within 60 s" >&2
  grep -v "^\[" "$runtime/protocol.log" | tail -n 20 >&2 || true
  exit 1
fi
echo "PASS: the program runs on Wayland and its window appears"
