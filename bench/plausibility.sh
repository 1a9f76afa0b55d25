#!/usr/bin/env bash
# Measures the encoding check on real Chinese text:
#   bench/plausibility.sh OUT
# Makes the GB, BIG5 and UTF-8 sites of Debian's reference manual in OUT/sites (bench/real-sites.sh)
# and the sets of real-looking files from Debian's manual pages in OUT/sets (bench/detection-sets.py),
# and prints for each the confusion table of bench_detection: files declared right that are refused,
# second runs that are not, and what the source guess reads. Then the GBK pages with Traditional text
# and the judgement's cost (bench_plausibility).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELTRAN_BUILD_DIR:-$root/build}"
out="${1:?usage: plausibility.sh OUT}"

cmake --build "$build" --target veltran-cli bench_plausibility bench_detection >/dev/null
"$root/bench/real-sites.sh" "$out/sites" "$build/cli/veltran-cli" >/dev/null
"$root/bench/detection-sets.py" "$out/sets"
echo
echo "The reference manual's sites (whose text the character statistics learned from):"
"$build/bench/bench_detection" "$out/sites" --list
echo
echo "Real-looking files from the manual pages (text the statistics never saw):"
"$build/bench/bench_detection" "$out/sets" --list
echo
"$build/bench/bench_plausibility" "$out/sites"
