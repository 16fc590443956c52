#!/usr/bin/env bash
# Installs, builds and starts the application.
#   scripts/run.sh [audio file]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
BUILD_TARGET=velumo "$root/scripts/build.sh" build

# Gives the desktop the application's icon and a menu entry for this user.
# A failed copy is only mentioned: it must never keep the program from starting.
install_desktop_entry() {
  local data=${XDG_DATA_HOME:-$HOME/.local/share}
  local size
  # One size in pixels a line; the build's install rules read the same list.
  while IFS= read -r size || [ -n "$size" ]; do
    [ -n "$size" ] || continue
    install -D -m 644 "$root/assets/icon/velumo-$size.png" \
      "$data/icons/hicolor/${size}x${size}/apps/velumo.png" || return 1
  done <"$root/assets/icon/sizes.txt"
  install -D -m 644 "$root/assets/velumo.metainfo.xml" \
    "$data/metainfo/com.velumo_soft.RingtoneMaker.metainfo.xml" || return 1
  # Exec must name this build; quoted by the desktop-entry rules.
  local program=$root/build/velumo
  program=${program//\\/\\\\}
  program=${program//\"/\\\"}
  program=${program//\`/\\\`}
  program=${program//\$/\\\$}
  mkdir -p "$data/applications" || return 1
  local line
  while IFS= read -r line || [ -n "$line" ]; do
    case $line in
      Exec=*) printf 'Exec="%s" %%f\n' "$program" ;;
      *) printf '%s\n' "$line" ;;
    esac
  done <"$root/assets/velumo.desktop" >"$data/applications/velumo.desktop" || return 1
}
install_desktop_entry 2>/dev/null ||
  echo "run: the desktop icon and menu entry could not be installed" >&2

# A file named on the command line opens at start.
exec "$root/build/velumo" "$@"
