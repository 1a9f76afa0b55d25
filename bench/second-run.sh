#!/usr/bin/env bash
# Runs veltran-cli over real Chinese sites twice, as a user who clicks twice would, and once with
# --from auto:
#   bench/second-run.sh OUT
# Makes the GB, BIG5 and UTF-8 sites of Debian's reference manual in OUT (bench/real-sites.sh) and
# the real-looking files of Debian's manual pages in OUT/sets (bench/detection-sets.py). For each
# direction it converts a copy of each site with backups, runs the same command again, and prints
# the pages refused by each run, the pages with at least 10 Chinese characters, and the backups that
# no longer hold their original; then the same twice with --no-backup, where nothing but the check
# stands between a page and its garbling, and the pages the second run changed (garbled), with how
# many of them hold fewer than 10 Chinese characters. Then it converts each site with --from auto to
# each encoding and prints how many pages were read right (the result equals the declared
# conversion's), read wrongly, or refused; to its own encoding every page with Chinese text is to
# be refused.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELTRAN_BUILD_DIR:-$root/build}"
out="${1:?usage: second-run.sh OUT}"
cli="$build/cli/veltran-cli"

cmake --build "$build" --target veltran-cli >/dev/null
"$root/bench/real-sites.sh" "$out" "$cli" >/dev/null
"$root/bench/detection-sets.py" "$out/sets" >/dev/null

# Failed pages of a run: the lines veltran-cli lists on standard error, less the pages it converted
# and lists for the characters the target lacks, and the closing hint after refusals.
failures() {
    "$cli" --quiet "$@" 2>&1 >/dev/null | grep '^veltran-cli: ' |
        grep -v ' refused by the encoding check; ' | grep -vc ' characters\? the target lacks ' || true
}

# Pages of a UTF-8 site with at least 10 Chinese characters (or, with a second argument, the pages
# named on standard input, relative to the site, that hold fewer).
chinese_pages() {
    python3 -c '
import os, sys
names = [line.strip() for line in sys.stdin] if len(sys.argv) > 2 else [
    os.path.relpath(os.path.join(folder, name), sys.argv[1]) for folder, _, files in os.walk(sys.argv[1]) for name in files]
count = 0
for name in names:
    text = open(os.path.join(sys.argv[1], name), "rb").read().decode("utf-8")
    count += (sum(1 for c in text if "\u3400" <= c <= "\u9fff") >= 10) != (len(sys.argv) > 2)
print(count)' "$@"
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

echo "The same command run twice with --no-backup (pages the second run changed: garbled):"
for run in gb:gb:big5:utf8-cn gb:gb:utf8:utf8-cn big5:big5:gb:utf8-tw big5:big5:utf8:utf8-tw \
    utf8-cn:utf8:gb:utf8-cn utf8-tw:utf8:big5:utf8-tw \
    sets/gb:gb:big5:sets/utf8-cn sets/gb:gb:utf8:sets/utf8-cn sets/big5:big5:gb:sets/utf8-tw \
    sets/big5:big5:utf8:sets/utf8-tw sets/utf8-cn:utf8:gb:sets/utf8-cn sets/utf8-tw:utf8:big5:sets/utf8-tw; do
    IFS=: read -r site from to text <<<"$run"
    copy="$out/twice-no-backup/${site//\//-}-$to"
    rm -rf "$copy" "$copy.first" && mkdir -p "$out/twice-no-backup" && cp -r "$out/$site" "$copy"
    "$cli" --quiet --no-backup --from "$from" --to "$to" "$copy" >/dev/null 2>&1 || true
    cp -r "$copy" "$copy.first"
    "$cli" --quiet --no-backup --from "$from" --to "$to" "$copy" >/dev/null 2>&1 || true
    garbled="$(cd "$copy" && find . -type f -printf '%P\n' | while IFS= read -r page; do
        cmp -s "$page" "$copy.first/$page" || echo "$page"; done)"
    count=0
    [ -n "$garbled" ] && count="$(printf '%s\n' "$garbled" | wc -l)"
    short=0
    [ -n "$garbled" ] && short="$(printf '%s\n' "$garbled" | chinese_pages "$out/$text" short)"
    printf '  %-12s %-4s -> %-4s %3d pages: garbled %d (%d of them with fewer than 10 Chinese characters)\n' \
        "$site" "$from" "$to" "$(find "$out/$site" -type f | wc -l)" "$count" "$short"
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
