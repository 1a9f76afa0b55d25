#!/usr/bin/env bash
# Configures and builds Veltran into build/ (or $VELTRAN_BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELTRAN_BUILD_DIR:-$root/build}"

werror=OFF
[ "${CI:-}" = "true" ] && werror=ON

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRAN_WARNINGS_AS_ERRORS=$werror >/dev/null
cmake --build "$build" -j"$(nproc)"
