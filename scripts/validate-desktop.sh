#!/usr/bin/env bash
# Checks the desktop entry and the AppStream metainfo with the desktop's own
# validators, and that both list the same audio types.
set -euo pipefail
assets=$(cd "$(dirname "$0")/../assets" && pwd)
desktop-file-validate "$assets/velumo.desktop"
appstreamcli validate --no-net "$assets/velumo.metainfo.xml"
from_desktop=$(sed -n 's/^MimeType=//p' "$assets/velumo.desktop" | tr ';' '\n' | sed '/^$/d' | sort)
from_metainfo=$(sed -n 's:.*<mediatype>\(.*\)</mediatype>.*:\1:p' "$assets/velumo.metainfo.xml" | sort)
if [ "$from_desktop" != "$from_metainfo" ]; then
  echo "validate-desktop: the desktop entry and the metainfo list different audio types" >&2
  diff <(echo "$from_desktop") <(echo "$from_metainfo") >&2 || true
  exit 1
fi
echo "validate-desktop: both files valid, $(echo "$from_desktop" | wc -l) audio types"
