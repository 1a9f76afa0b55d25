#!/usr/bin/env bash
# Measures the plausibility judgement on real Chinese pages:
#   bench/plausibility.sh OUT
# Makes the GB, BIG5 and UTF-8 sites of Debian's reference manual in OUT (bench/real-sites.sh),
# converts each once more with veltran-cli into OUT/runs/<from>-<to> (what a second run would
# read), and prints the refusals of first and second runs and the accuracy of the source guess.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELTRAN_BUILD_DIR:-$root/build}"
out="${1:?usage: plausibility.sh OUT}"
cli="$build/cli/veltran-cli"

cmake --build "$build" --target veltran-cli bench_plausibility >/dev/null
"$root/bench/real-sites.sh" "$out" "$cli"
for run in gb:big5 big5:gb gb:utf8 big5:utf8; do
    from="${run%:*}"
    to="${run#*:}"
    mkdir -p "$out/runs"
    cp -r "$out/$from" "$out/runs/$from-$to"
    "$cli" --quiet --no-backup --from "$from" --to "$to" "$out/runs/$from-$to"
done
echo
"$build/bench/bench_plausibility" "$out"
