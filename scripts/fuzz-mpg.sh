#!/usr/bin/env bash
# Fuzzes the MPEG audio analyser (ReadFileInfo on arbitrary file contents) with
# libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer.
#   scripts/fuzz-mpg.sh [seconds]   (default 60)
# Build folder: $MPG_FUZZ_DIR, default <repo>/build-fuzz. Exits non-zero on any
# finding (crash, sanitizer report, leak, or an input running over 10 s).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out=${MPG_FUZZ_DIR:-$root/build-fuzz}
cxx=${CXX_FUZZ:-clang++}
mkdir -p "$out/corpus" "$out/artifacts"

echo "fuzz-mpg: building the fuzzer in $out"
"$cxx" -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/src/MPGTools" \
  "$root"/src/MPGTools/*.cpp "$root/tests/MPGTools/fuzz_readfileinfo.cpp" \
  -o "$out/fuzz_readfileinfo"

# Seeds: hand-made frame pairs (MPEG-1/2/2.5, Layer I/III), junk before the
# first frame, a Xing frame, a VBRI frame, frames of two bit rates with a
# damaged stretch between them, and an ID3v1 tag.
frame() {  # frame <byte1> <byte2> <byte3> <length>: a header and zeros
  printf "\xff\x$1\x$2\x$3"
  head -c $(($4 - 4)) /dev/zero
}
frames() {  # frames <count> <byte1> <byte2> <byte3> <length>
  local i
  for ((i = 0; i < $1; i++)); do frame "$2" "$3" "$4" "$5"; done
}
c="$out/corpus"
frames 4 fb 90 40 417 > "$c/mpeg1-l3-128k"
frames 4 f3 80 00 208 > "$c/mpeg2-l3-64k"
frames 4 e3 18 c0 72 > "$c/mpeg25-l3-8k"
frames 4 ff 14 00 32 > "$c/mpeg1-l1-32k"
{ printf 'ID3\x04'; head -c 300 /dev/zero; printf '\xff\xfb\x90'; frames 3 fb 90 40 417; } > "$c/junk-then-frames"
{ frame fb 90 40 36; printf 'Xing\x00\x00\x00\x01\x00\x00\x03\xe8'; head -c 369 /dev/zero; frames 2 fb 90 40 417; } > "$c/xing"
{ frames 3 fb 90 40 417; printf 'TAGTitle'; head -c 118 /dev/zero; printf '\x03\x0c'; } > "$c/id3v1"
{ frame fb 90 40 36; printf 'VBRI\x00\x01\x00\x00\x00\x4b\x00\x00\x10\x00\x00\x00\x03\xe8'; head -c 363 /dev/zero; frames 2 fb a0 40 522; } > "$c/vbri"
{ frames 3 fb 90 40 417; head -c 700 /dev/urandom; frames 3 fb b0 40 626; head -c 500 /dev/zero; } > "$c/damaged-vbr"

echo "fuzz-mpg: running for ${seconds}s"
cd "$out"
# The target writes each input to a file in TMPDIR: keep it inside the build folder.
if TMPDIR="$out" ./fuzz_readfileinfo -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
     -print_final_stats=1 -artifact_prefix="$out/artifacts/" corpus > "$out/fuzz.log" 2>&1; then
  rm -f "$out"/mpg-fuzz-*.mp3
  tail -n 15 "$out/fuzz.log"
  echo "fuzz-mpg: no finding in ${seconds}s"
else
  rc=$?
  tail -n 60 "$out/fuzz.log"
  echo "fuzz-mpg: FINDING (exit $rc); inputs in $out/artifacts/" >&2
  exit 1
fi
