#!/usr/bin/env bash
# Builds the real-text benchmark and veltran-cli, makes the real-pages sites (installing the
# reference manual and OpenCC's command when missing) and runs the benchmark:
#   bench/run-real.sh [SITES [PARTS...]]   (SITES: default a folder under /tmp, removed afterwards;
#                                          PARTS: mapping process site options memory, default all)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELTRAN_BUILD_DIR:-$root/build}"

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target bench_real veltran-cli -j"$(nproc)" >/dev/null

sites="${1:-}"
if [ -z "$sites" ]; then
    sites="$(mktemp -d /tmp/veltran-real-sites-XXXXXX)"
    trap 'rm -rf "$sites"' EXIT
fi
"$root/bench/real-sites.sh" "$sites" "$build/cli/veltran-cli" >/dev/null
shift || true
"$build/bench/bench_real" "$sites" "$build/cli/veltran-cli" "$@"
