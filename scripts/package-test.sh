#!/usr/bin/env bash
# Builds the Debian package, installs it with apt as a user would, and drives
# the installed program: --version, a start with a song on the offscreen
# platform, and a ringtone saved through the real window under Xvfb with the
# installed converter. Then purges it and checks that nothing of it is left.
# Runs as root on a throw-away machine (CI); anywhere else it only says so.
# The machine is left as it was: packages apt pulled in are purged again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" -ne 0 ]; then
  echo "package-test: skipped, it installs a package and must run as root"
  exit 0
fi
if dpkg-query -W -f='${Status}' velumo 2>/dev/null | grep -q 'ok installed'; then
  echo "package-test: velumo is installed already; refusing to replace and purge it" >&2
  exit 1
fi

fail() { echo "package-test: $*" >&2; exit 1; }
# True once process $1 has ended (a zombie still answers kill -0).
gone() { local state; state=$(ps -o stat= -p "$1") || return 0; [[ $state == Z* ]]; }
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local deadline=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.2
  done
}

deb=$("$root/scripts/package.sh" | tail -n 1)
[ -f "$deb" ] || fail "scripts/package.sh made no package"
version=$(sed -n 's/^project(Velumo VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")

work=$(mktemp -d)
chmod 700 "$work"
before=$work/packages-before
dpkg-query -W -f='${Package}\n' | sort >"$before"
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  if dpkg-query -W -f='${Status}' velumo 2>/dev/null | grep -q 'ok installed'; then
    DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -qq velumo >/dev/null || true
  fi
  local added
  added=$(comm -13 "$before" <(dpkg-query -W -f='${Package}\n' | sort) | grep -v '^velumo$' || true)
  [ -z "$added" ] || DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -qq $added >/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "== install $(basename "$deb")"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log" >&2; fail "apt-get install failed"; }
dpkg -L velumo >"$work/files"
[ -x /usr/libexec/velumo/av ] || fail "no converter at /usr/libexec/velumo/av"
[ -f /usr/libexec/velumo/libvelumo-media.so ] || fail "no sound module at /usr/libexec/velumo/libvelumo-media.so"

echo "== velumo --version"
got=$(env -u DISPLAY velumo --version)
[ "$got" = "velumo $version" ] || fail "velumo --version printed '$got', not 'velumo $version'"

# Each run gets its own runtime folder, so its work folder is a fresh one.
song="$work/Ring Song.mp3"
ffmpeg -nostdin -loglevel error -f lavfi -i sine=frequency=440:duration=40 -ac 2 -c:a libmp3lame -b:a 128k "$song"
export SDL_AUDIODRIVER=dummy

echo "== start on the offscreen platform"
mkdir -m 700 "$work/run1"
XDG_RUNTIME_DIR=$work/run1 QT_QPA_PLATFORM=offscreen velumo "$song" 2>"$work/run1.err" &
pids+=($!)
wait_for 60 test -x "$work/run1/DravikMp3RingTone/av" || fail "the program wrote no work folder within 60 s"
# Up for a few seconds after its start, song open: it did not fall over.
for _ in 1 2 3 4 5 6 7 8 9 10; do
  ! gone "${pids[-1]}" || { cat "$work/run1.err" >&2; fail "the program ended on its own"; }
  sleep 0.3
done
kill "${pids[-1]}"; wait "${pids[-1]}" 2>/dev/null || true

echo "== save a ringtone through the window (Xvfb, xdotool)"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for 30 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=:$(head -n 1 "$work/display")
mkdir -m 700 "$work/run2"
XDG_RUNTIME_DIR=$work/run2 QT_QPA_PLATFORM=xcb velumo "$song" 2>"$work/run2.err" &
pid=$!
pids+=("$pid")
title="Velumo MP3 Ringtone Maker"
wait_for 60 xdotool search --onlyvisible --name "^$title\$" || fail "no main window within 60 s"
wait_for 60 test -x "$work/run2/DravikMp3RingTone/av"
# The copy written into the work folder now refuses to work: a saved ringtone
# proves that the installed converter made it.
printf '#!/bin/sh\necho "work-folder copy used" >&2\nexit 1\n' >"$work/run2/DravikMp3RingTone/av"
main=$(xdotool search --onlyvisible --name "^$title\$" | head -n 1)
xdotool windowfocus --sync "$main" key ctrl+s
dialogs() { [ "$(xdotool search --onlyvisible --pid "$pid" | wc -l)" -ge 2 ]; }
wait_for 30 dialogs || fail "Ctrl+S opened no save dialog within 30 s"
dialog=$(xdotool search --onlyvisible --pid "$pid" | grep -vx "$main" | head -n 1)
target=$work/Ringtone.mp3
xdotool windowfocus --sync "$dialog" key ctrl+a type --delay 10 "$target"
xdotool key Return
wait_for 120 xdotool search --onlyvisible --name '^Confirm$' ||
  { cat "$work/run2.err" >&2; fail "no completion question within 120 s"; }
# No: the target's folder is not opened.
xdotool windowfocus --sync "$(xdotool search --onlyvisible --name '^Confirm$' | head -n 1)" key Escape
wait_for 30 sh -c "! xdotool search --onlyvisible --name '^Confirm\$'" || fail "the question stayed open"
xdotool windowfocus --sync "$main" key ctrl+q
wait_for 30 gone "$pid" || fail "Ctrl+Q did not end the program"

echo "== the ringtone"
probe=$(ffprobe -v error -show_entries stream=codec_name,channels -show_entries format=duration \
  -of default=noprint_wrappers=1 "$target") || fail "ffprobe cannot read $target"
echo "$probe"
grep -qx 'codec_name=mp3' <<<"$probe" || fail "the ringtone is not MP3"
grep -qx 'channels=2' <<<"$probe" || fail "the ringtone has not two channels"
duration=$(sed -n 's/^duration=//p' <<<"$probe")
awk -v d="$duration" 'BEGIN { exit !(d > 9 && d < 12) }' || fail "the ringtone lasts $duration s, not about 10 s"

echo "== purge"
DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -qq velumo >/dev/null
left=()
while IFS= read -r path; do
  # Shared folders (/usr, /usr/share/icons/...) stay; the package's own go.
  if [ -e "$path" ] && { [ ! -d "$path" ] || [[ $path == */velumo ]]; }; then left+=("$path"); fi
done <"$work/files"
[ ${#left[@]} -eq 0 ] || fail "left behind after purge: ${left[*]}"
echo "package-test: installed, ran, saved a ringtone with the installed converter, purged cleanly"
