#!/usr/bin/env bash
# with-pulse.sh COMMAND [ARGS...]
# Runs COMMAND against a private PulseAudio server that plays into a null
# sink, with SDL_AUDIODRIVER=pulseaudio. The server lives in a runtime folder
# of its own and is stopped, and the folder removed, whatever happens.
# Works as root (PulseAudio then warns but runs) and as a normal user.
set -u

if [ $# -eq 0 ]; then
  echo "usage: with-pulse.sh COMMAND [ARGS...]" >&2
  exit 2
fi
for tool in pulseaudio pactl; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "with-pulse.sh: '$tool' is not installed (Debian packages pulseaudio, pulseaudio-utils)" >&2
    exit 1
  fi
done

dir=$(mktemp -d "${TMPDIR:-/tmp}/velumo-pulse.XXXXXX") || exit 1
pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill -TERM "$pid" 2>/dev/null
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  fi
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

mkdir -p "$dir/runtime" "$dir/home"
chmod 700 "$dir/runtime"
socket="$dir/runtime/native"
printf 'autospawn = no\n' >"$dir/client.conf"

HOME="$dir/home" XDG_RUNTIME_DIR="$dir/runtime" PULSE_RUNTIME_PATH="$dir/runtime" \
XDG_CONFIG_HOME="$dir/home/.config" PULSE_STATE_PATH="$dir/state" \
  pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n \
    --use-pid-file=no --log-target=stderr --log-level=error \
    --load="module-null-sink sink_name=null" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$socket" \
    2>"$dir/server.log" </dev/null &
pid=$!

export PULSE_SERVER="unix:$socket"
export PULSE_CLIENTCONFIG="$dir/client.conf"
ready=""
for _ in $(seq 100); do  # at most about 10 s
  if pactl info >/dev/null 2>&1; then
    ready=1
    break
  fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$ready" ]; then
  echo "with-pulse.sh: the PulseAudio server did not start; its log:" >&2
  cat "$dir/server.log" >&2
  exit 1
fi
pactl set-default-sink null >/dev/null 2>&1

SDL_AUDIODRIVER=pulseaudio "$@"
exit $?
