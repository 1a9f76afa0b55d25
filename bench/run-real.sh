#!/usr/bin/env bash
# Builds the real-text benchmark and veltran-cli, makes the real-pages sites (installing the
# reference manual and OpenCC's command when missing) and runs the benchmark:
#   bench/run-real.sh [SITES [MEASUREMENTS...]]   (SITES: default a folder under /tmp, removed afterwards;
#                                          MEASUREMENTS: mapping process site options memory, default all)
# As root it measures site and options a second time on a new ext4 mounted from a file.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELTRAN_BUILD_DIR:-$root/build}"

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target bench_real veltran-cli -j"$(nproc)" >/dev/null

sites="${1:-}"
sites_made=
if [ -z "$sites" ]; then
    sites="$(mktemp -d /tmp/veltran-real-sites-XXXXXX)"
    sites_made=1
    trap 'rm -rf "$sites"' EXIT
fi
"$root/bench/real-sites.sh" "$sites" "$build/cli/veltran-cli" >/dev/null
shift || true
"$build/bench/bench_real" "$sites" "$build/cli/veltran-cli" "$@"

# The site and options figures depend on the state of the file system under /tmp: one without a
# journal, or holding thousands of files deleted a moment ago, is slow to make new files, and
# slower from one moment to the next. Where root may mount a file, they are measured again on a
# new ext4 with its journal, as a desktop's disk is made.
disk_measurements=()
for measurement in site options; do
    if [ $# -eq 0 ] || [[ " $* " == *" $measurement "* ]]; then disk_measurements+=("$measurement"); fi
done
if [ ${#disk_measurements[@]} -gt 0 ] && [ "$(id -u)" -eq 0 ] && command -v mkfs.ext4 >/dev/null; then
    image="$(mktemp /tmp/veltran-ext4-XXXXXX)"
    mounted="$(mktemp -d /tmp/veltran-ext4-XXXXXX)"
    trap 'umount "$mounted" 2>/dev/null || true; rm -rf "$image" "$mounted" ${sites_made:+"$sites"}' EXIT
    truncate -s 4G "$image"
    mkfs.ext4 -q -F -N 1000000 "$image"
    if mount -o loop "$image" "$mounted" 2>/dev/null; then
        echo "again on a new ext4 file system with its journal:"
        VELTRAN_BENCH_WORK="$mounted" "$build/bench/bench_real" "$sites" "$build/cli/veltran-cli" "${disk_measurements[@]}"
    else
        echo "(no second measure on a new ext4: this machine cannot mount a file)"
    fi
fi
