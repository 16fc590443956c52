#!/usr/bin/env bash
# Builds the Debian package from this tree into build-package/ and checks it
# with lintian:
#   scripts/package.sh            -> build-package/velumo_<version>-1_<arch>.deb
# Extra arguments go to cmake. Prints the package's path last.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$root/build-package
"$root/scripts/setup.sh"

# Debian's hardening and optimisation flags, as dpkg-buildpackage would set them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# Given as cache values, so a folder configured before takes them too. CMake
# reads no CPPFLAGS: the preprocessor's flags (_FORTIFY_SOURCE) ride along.
cppflags=$(dpkg-buildflags --get CPPFLAGS)
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_C_FLAGS="$cppflags $(dpkg-buildflags --get CFLAGS)" \
  -DCMAKE_CXX_FLAGS="$cppflags $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DCMAKE_MODULE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DVELUMO_TESTS=OFF -DVELUMO_BENCH=OFF "$@" >/dev/null
cmake --build "$dir" --target velumo av velumo_packed_docs
rm -f "$dir"/velumo_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls "$dir"/velumo_*.deb)

echo "== lintian"
lintian --fail-on error "$deb"
echo "$deb"
