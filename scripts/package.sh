#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package with `cpack -G DEB` in build/;
# prints the package's path last. Install it with: sudo apt install ./build/veltran_<version>_<arch>.deb
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELTRAN_BUILD_DIR:-$root/build}"

"$root/scripts/install-deps.sh"
# cpack runs `file` on the installed files to find the binaries for dpkg-shlibdeps.
"$root/scripts/install-deps.sh" file
"$root/scripts/build.sh"
(cd "$build" && cpack -G DEB >/dev/null)

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
echo "$build/veltran_${version}_$(dpkg --print-architecture).deb"
