#!/usr/bin/env bash
# Makes small web sites of real Chinese text from Debian's reference manual, for benchmarks and
# reliability checks:
#   bench/real-sites.sh OUT [VELTRAN_CLI]
# OUT/utf8-cn and OUT/utf8-tw hold the Simplified and Traditional pages split at their sections,
# one page per section, as UTF-8; OUT/gb and OUT/big5 hold the same pages converted to GB and to
# BIG5 by veltran-cli (default: build/cli/veltran-cli). OUT/text/gb.txt is the GB pages joined
# over and over into one text of at least TEXT_MB megabytes (default 16), and OUT/text/utf8.txt
# the same text as UTF-8. Installs the two manual packages and OpenCC's `opencc` command, the
# reference of bench_real, when missing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:?usage: real-sites.sh OUT [VELTRAN_CLI]}"
cli="${2:-${VELTRAN_BUILD_DIR:-$root/build}/cli/veltran-cli}"
manual=/usr/share/debian-reference

missing=()
for p in debian-reference-zh-cn debian-reference-zh-tw opencc; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

rm -rf "$out"
for lang in cn tw; do
    site="$out/utf8-$lang"
    mkdir -p "$site"
    for page in "$manual"/*.zh-"$lang".html; do
        name="$(basename "$page" .zh-"$lang".html)"
        # A new page starts at every section; the first page keeps the head of the document.
        awk -v prefix="$site/$name-" '/<div class="section"/ { n++ } { print > (prefix sprintf("%03d", n) ".htm") }' "$page"
    done
done

cp -r "$out/utf8-cn" "$out/gb"
cp -r "$out/utf8-tw" "$out/big5"
# The few characters GB or BIG5 lack (no-break spaces, ©, «) become character references, as a
# webmaster would have them; the list of those files is kept out of the way unless the run fails.
for target in gb big5; do
    "$cli" --quiet --no-backup --references --from utf8 --to "$target" "$out/$target" 2>"$out/$target.notes" ||
        { cat "$out/$target.notes" >&2; exit 1; }
    rm "$out/$target.notes"
done
for site in utf8-cn utf8-tw gb big5; do
    echo "$out/$site: $(find "$out/$site" -type f | wc -l) pages, $(du -sk "$out/$site" | cut -f1) KB"
done

mkdir -p "$out/text"
find "$out/gb" -type f | sort | xargs cat >"$out/text/gb-once.txt"
: >"$out/text/gb.txt"
while [ "$(stat -c %s "$out/text/gb.txt")" -lt $(( ${TEXT_MB:-16} * 1000000 )) ]; do
    cat "$out/text/gb-once.txt" >>"$out/text/gb.txt"
done
rm "$out/text/gb-once.txt"
iconv -f CP936 -t UTF-8 "$out/text/gb.txt" >"$out/text/utf8.txt"
echo "$out/text: gb.txt $(stat -c %s "$out/text/gb.txt") bytes, utf8.txt $(stat -c %s "$out/text/utf8.txt") bytes"
