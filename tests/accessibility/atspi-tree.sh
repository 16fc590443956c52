#!/usr/bin/env bash
# The real program as a screen reader meets it: started on a private session
# bus with the accessibility bus and a virtual display, its tree read from
# outside over AT-SPI (see atspi_tree.py). Exit 77: skipped, reason given.
#   atspi-tree.sh <velumo>
set -euo pipefail
program=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
skip() { echo "SKIPPED: $*" >&2; exit 77; }
# The system Python, which has the Debian package's bindings.
python=/usr/bin/python3
for tool in dbus-run-session xvfb-run ffmpeg xdotool $python; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
"$python" -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"
[ -e /usr/share/dbus-1/services/org.a11y.Bus.service ] || skip "at-spi2-core's accessibility bus is not installed"

runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime XDG_CONFIG_HOME=$runtime HOME=$runtime
song="$runtime/Music/Ringtones to make/Ring Song.mp3"
mkdir -p "$(dirname "$song")"
ffmpeg -nostdin -loglevel error -f lavfi -i "sine=frequency=440:duration=40" -c:a libmp3lame "$song"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0 SDL_AUDIODRIVER=dummy
unset QT_QPA_PLATFORM # the bridge lives in the X11 platform, not offscreen
# The display first: the buses' helpers (the registry makes the key presses)
# take it from the environment they start in. A virtual display that is not
# yet reachable when the program connects is an unlucky start, not a finding:
# that alone is tried again, at most three times.
log=$runtime/run.log
for attempt in 1 2 3; do
  status=0
  xvfb-run -a -s "-screen 0 800x600x24" dbus-run-session -- \
    "$python" "$here/atspi_tree.py" "$program" "$song" >"$log" 2>&1 || status=$?
  cat "$log"
  grep -q "could not connect to display" "$log" || exit "$status"
  echo "atspi-tree: the display was not reachable (attempt $attempt); starting again" >&2
done
exit "$status"
