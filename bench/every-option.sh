#!/usr/bin/env bash
# Times a run of veltran-cli with every option that adds work, over a real site and one large
# text: GB to BIG5 with declarations, references, rules, the charset header, the log and the JSON
# report (with each file's SHA-256), keeping backups.
#   bench/every-option.sh SITES VELTRAN_CLI [RUNS]
# SITES is what bench/real-sites.sh made. Each run starts from a fresh copy, made outside the timing;
# prints every run's seconds and the median.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
sites="${1:?usage: every-option.sh SITES VELTRAN_CLI [RUNS]}"
cli="${2:?usage: every-option.sh SITES VELTRAN_CLI [RUNS]}"
runs="${3:-7}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/original"
cp -r "$sites/gb" "$work/original/site"
cp "$sites/text/gb.txt" "$work/original/site/large.txt"
times=()
for ((i = 0; i < runs; i++)); do
    rm -rf "$work/site" "$work/run.json" "$work/run.log"
    cp -r "$work/original/site" "$work/site"
    start=$(date +%s.%N)
    "$cli" --from gb --to big5 --declarations --references --rules "$root/scripts/demo.rules" --charset-header \
        --log "$work/run.log" --report "$work/run.json" --quiet "$work/site" >/dev/null 2>&1 || true
    end=$(date +%s.%N)
    times+=("$(echo "$end - $start" | bc)")
    echo "run $((i + 1)): ${times[-1]} s"
done
printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { print "median: " a[int((NR + 1) / 2)] " s" }'
