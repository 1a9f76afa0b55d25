#!/usr/bin/env bash
# Runs veltran-cli over real Chinese sites twice, as a user who clicks twice would, and once with
# --from auto:
#   bench/second-run.sh OUT
# Makes the GB, BIG5 and UTF-8 sites of Debian's reference manual in OUT (bench/real-sites.sh). For
# each direction it converts a copy with backups, runs the same command again, and prints the pages
# refused by each run, the pages with at least 10 Chinese characters, and the backups that no longer
# hold their original. Then it converts each site with --from auto to each encoding and prints how
# many pages were read right (the result equals the declared conversion's), read wrongly, or
# refused; to its own encoding every page with Chinese text is to be refused.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELTRAN_BUILD_DIR:-$root/build}"
out="${1:?usage: second-run.sh OUT}"
cli="$build/cli/veltran-cli"

cmake --build "$build" --target veltran-cli >/dev/null
"$root/bench/real-sites.sh" "$out" "$cli" >/dev/null

# Failed pages of a run: the lines veltran-cli lists on standard error, less the pages it converted
# and lists for the characters the target lacks.
failures() {
    "$cli" --quiet "$@" 2>&1 >/dev/null | grep '^veltran-cli: ' | grep -vc ' characters\? the target lacks ' || true
}

# Pages of a UTF-8 site with at least 10 Chinese characters.
chinese_pages() {
    python3 -c '
import os, sys
count = 0
for folder, _, files in os.walk(sys.argv[1]):
    for name in files:
        text = open(os.path.join(folder, name), "rb").read().decode("utf-8")
        count += sum(1 for c in text if "\u3400" <= c <= "\u9fff") >= 10
print(count)' "$1"
}

echo "The same command run twice over a site (pages refused by the first run, then by the second):"
for run in gb:gb:big5:utf8-cn gb:gb:utf8:utf8-cn big5:big5:gb:utf8-tw big5:big5:utf8:utf8-tw \
    utf8-cn:utf8:gb:utf8-cn utf8-tw:utf8:big5:utf8-tw; do
    IFS=: read -r site from to text <<<"$run"
    copy="$out/twice/$site-$to"
    rm -rf "$copy" && mkdir -p "$out/twice" && cp -r "$out/$site" "$copy"
    first="$(failures --from "$from" --to "$to" "$copy")"
    second="$(failures --from "$from" --to "$to" "$copy")"
    changed=0
    while IFS= read -r -d '' backup; do
        relative="${backup#"$copy"/}"
        cmp -s "$backup" "$out/$site/${relative%.bak}" || changed=$((changed + 1))
    done < <(find "$copy" -name '*.bak' -print0)
    printf '  %-4s -> %-4s %d pages, %d with 10+ Chinese characters: refused %d, then %d; backups changed: %d\n' \
        "$from" "$to" "$(find "$out/$site" -type f | wc -l)" "$(chinese_pages "$out/$text")" "$first" "$second" \
        "$changed"
done

echo "--from auto (pages read right, read wrongly, refused):"
for entry in gb:gb:utf8-cn big5:big5:utf8-tw utf8-cn:utf8:utf8-cn utf8-tw:utf8:utf8-tw; do
    IFS=: read -r site from text <<<"$entry"
    for to in gb big5 utf8; do
        auto="$out/auto/$site-$to"
        declared="$out/declared/$site-$to"
        rm -rf "$auto" "$declared" && mkdir -p "$out/auto" "$out/declared"
        cp -r "$out/$site" "$auto"
        cp -r "$out/$site" "$declared"
        "$cli" --quiet --no-backup --from auto --to "$to" "$auto" 2>/dev/null || true
        [ "$from" = "$to" ] || "$cli" --quiet --no-backup --from "$from" --to "$to" "$declared" 2>/dev/null || true
        right=0 wrong=0 refused=0
        while IFS= read -r -d '' page; do
            relative="${page#"$auto"/}"
            if cmp -s "$page" "$out/$site/$relative"; then
                refused=$((refused + 1))
            elif cmp -s "$page" "$declared/$relative"; then
                right=$((right + 1))
            else
                wrong=$((wrong + 1))
            fi
        done < <(find "$auto" -type f -print0)
        printf '  %-7s (%-4s) -> %-4s read right %3d, wrongly %d, refused %3d (%d pages with 10+ Chinese characters)\n' \
            "$site" "$from" "$to" "$right" "$wrong" "$refused" "$(chinese_pages "$out/$text")"
    done
done
