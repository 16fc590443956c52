#!/usr/bin/env bash
# Brings every translation (translations/velumo_<lang>.ts) up to date with the
# texts of the sources: new texts are added as unfinished, texts the sources
# no longer hold are dropped, finished translations are kept as they stand.
#   scripts/update-translations.sh [LANG ...]
# A LANG without a file yet (for example "it" or "pt_PT") starts a new one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
lupdate=$(command -v lupdate || true)
[ -n "$lupdate" ] || lupdate=/usr/lib/qt6/bin/lupdate
if [ ! -x "$lupdate" ]; then
  echo "update-translations: lupdate not found (Debian package qt6-l10n-tools)" >&2
  exit 1
fi
cd "$root"
files=(translations/velumo_*.ts)
[ -e "${files[0]}" ] || files=()
for lang in "$@"; do
  case $lang in
    *[!A-Za-z_]* | "") echo "update-translations: '$lang' is not a language code such as de or pt_BR" >&2; exit 2 ;;
  esac
  new=translations/velumo_$lang.ts
  [[ " ${files[*]} " == *" $new "* ]] || files+=("$new")
done
# Every .ts names its language, so a new file reads as that language in Qt Linguist.
# The window's texts, and the words the skin generator draws into pictures.
"$lupdate" -silent -locations none -no-obsolete src tools/skingen -ts "${files[@]}"
for file in "${files[@]}"; do
  lang=${file#translations/velumo_}
  lang=${lang%.ts}
  grep -q "language=\"$lang\"" "$file" || sed -i "s/<TS version=\"\([0-9.]*\)\"[^>]*>/<TS version=\"\1\" language=\"$lang\">/" "$file"
done
