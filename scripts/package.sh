#!/usr/bin/env bash
# Installs what is missing, builds with Debian's build flags and makes the two Debian packages with
# `cpack -G DEB` in build-package/ (or $VELTRAN_PACKAGE_BUILD_DIR): veltran, the window, and
# veltran-cli, which needs no Qt. Prints their paths last, the window's first. Install them with:
#   sudo apt install ./build-package/veltran_<version>_<arch>.deb ./build-package/veltran-cli_<version>_<arch>.deb
# where <version> is packaging/changelog's last, the program's version and a Debian revision.
# The flags are dpkg-buildflags' with every hardening feature on (as Debian's packages are built):
# optimised, fortified, with the stack protector, relocations read-only and bound at start. Under
# CI=true warnings are errors, so this is also CI's check that the optimised build is clean.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELTRAN_PACKAGE_BUILD_DIR:-$root/build-package}"

"$root/scripts/install-deps.sh"
# dpkg-buildflags and dpkg-parsechangelog; and `file`, which cpack runs on the installed files to
# find the binaries for dpkg-shlibdeps.
"$root/scripts/install-deps.sh" dpkg-dev file

# dpkg-buildflags maps the current folder out of the debugging information's file names.
cd "$root"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export DEB_CPPFLAGS_MAINT_APPEND=-DNDEBUG
# The manual pages' date, as dpkg-buildpackage sets it, so that a build is reproducible.
SOURCE_DATE_EPOCH="$(dpkg-parsechangelog -l packaging/changelog -S Timestamp)"
export SOURCE_DATE_EPOCH
# CMake takes no CPPFLAGS: the preprocessor's flags (_FORTIFY_SOURCE) go with the compiler's.
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=None -DVELTRAN_WARNINGS_AS_ERRORS=$werror \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_STRIP="$root/packaging/debian-strip.sh" \
    >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB >/dev/null)

version="$(dpkg-parsechangelog -l packaging/changelog -S Version)"
architecture="$(dpkg --print-architecture)"
echo "$build/veltran_${version}_${architecture}.deb"
echo "$build/veltran-cli_${version}_${architecture}.deb"
