#!/usr/bin/env bash
# Installs, builds and runs every test. Extra arguments: build folder, then cmake options.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-build}; shift || true
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$dir" "$@"
cd "$root/$dir"
ctest --output-on-failure -j2 --timeout 300
