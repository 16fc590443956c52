#!/usr/bin/env bash
# Saves pictures of the main window (as it starts, and with a song open) and
# of the About window, taken from an already built application on a virtual
# display, at display scale 1 (main.png, about.png, loaded.png) and at scale
# 1.5 and 2 (main@1.5x.png, main@2x.png, ...). Builds nothing.
#   scripts/screenshot-skin.sh [program] [output folder]
# program defaults to build/velumo, the folder to screenshots/. The display is
# exactly the main window's size at each scale, so the window, centred, fills
# the picture.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath -m "${1:-$root/build/velumo}")
out=$(realpath -m "${2:-$root/screenshots}")
if [ ! -x "$program" ]; then
  echo "screenshot-skin: no program at $program (build it first)" >&2
  exit 1
fi
mkdir -p "$out"
# The work folder and settings stay out of the user's own runtime folder.
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime

# With a song open: the timeline with its selection band (20 s to 30 s) and
# the play cursor (4 s) in place of the banner.
# The song has a quiet 8 s intro, a 2 s gap, a loud 14 s chorus, a breath and
# a softer verse, pulsing twice a second, so the timeline shows its shape.
song="$runtime/Ring Song.mp3"
level='if(lt(t,8),0.03,if(lt(t,10),0,if(lt(t,24),0.8,if(lt(t,25),0,0.2))))'
tone='(0.6*sin(2*PI*220*t)+0.4*sin(2*PI*330*t))*(0.7+0.3*sin(2*PI*2*t))'
ffmpeg -nostdin -loglevel error -f lavfi -i "aevalsrc='$level*$tone':s=44100:d=40" -ac 2 -c:a libmp3lame -b:a 128k "$song"

# scale, screen size, suffix of the file names
for shot in "1 598x422 " "1.5 897x633 @1.5x" "2 1196x844 @2x"; do
  read -r scale size at <<<"$shot"
  export QT_SCALE_FACTOR=$scale SCREEN_SIZE=${size}x24
  "$root/scripts/screenshot.sh" "$out/main$at.png" "$program"
  VELUMO_SHOW_ABOUT=1 "$root/scripts/screenshot.sh" "$out/about$at.png" "$program"
  # Settings of its own: the real sound, whatever the user chose.
  XDG_CONFIG_HOME=$runtime SDL_AUDIODRIVER=dummy "$root/scripts/screenshot.sh" "$out/loaded$at.png" "$program" "$song"
done
