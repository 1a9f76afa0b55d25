#!/usr/bin/env python3
"""Writes core/ChineseTextStatistics.inc: how often real Chinese text uses each character and each pair.

    tools/han_frequencies.py [OUTPUT]

Learned from Chinese text that Debian installs: the reference manual in Simplified and Traditional
(debian-reference-zh-cn, debian-reference-zh-tw), the Simplified and Traditional translations of the
basic tools' messages (/usr/share/locale/zh_CN and zh_TW), and the Chinese fortunes (fortunes-zh:
prose, Tang and Song poems), Simplified, and in Traditional through OpenCC's `opencc -c s2tw.json`.
The manual pages (manpages-zh) are left out on purpose: the detection benchmark builds its files
from them, so they stay unseen. Installs the packages it reads when they are missing.

Each character's cost is -log2 of its share of the non-ASCII characters, Simplified and Traditional
text counted half each, in whole bits; a pair's bonus is how many bits more likely the second
character is after the first than on its own. Only what occurs often enough to be trusted is kept,
and only characters of the Basic Multilingual Plane.
"""
import collections
import gettext
import glob
import html
import math
import os
import re
import subprocess
import sys

MANUAL = "/usr/share/debian-reference"
LOCALES = "/usr/share/locale"
# Messages of tools on every Debian system, so that the table can be made again the same way.
CATALOGUES = ["apt", "libapt-pkg6.0", "dpkg", "coreutils", "bash", "libc", "tar", "grep", "sed", "findutils",
              "diffutils", "gettext-tools", "gettext-runtime", "shadow", "systemd", "man-db", "Linux-PAM", "make",
              "xz", "psmisc", "wget", "git", "glib20", "gtk20", "binutils", "ld", "gnupg2"]

MIN_CHARACTER_COUNT = 2
MAX_COST = 17
MIN_PAIR_COUNT = 4
MIN_BONUS = 2
MAX_BONUS = 10
MAX_PAIRS = 4000


def manual_text(variant):
    text = []
    for path in sorted(glob.glob(f"{MANUAL}/*.zh-{variant}.html")):
        page = open(path, encoding="utf-8").read()
        page = re.sub(r"<[^>]*>", " ", page)
        text.append(html.unescape(page))
    return text


FORTUNES = ["chinese", "tang300", "song100"]
PACKAGES = ["debian-reference-zh-cn", "debian-reference-zh-tw", "fortunes-zh", "opencc"]


def install_missing():
    missing = [p for p in PACKAGES
               if subprocess.run(["dpkg-query", "-W", "-f=${Status}", p], capture_output=True,
                                 text=True).stdout.find("install ok installed") < 0]
    if missing:
        sudo = [] if os.geteuid() == 0 else ["sudo"]
        subprocess.run(sudo + ["apt-get", "update", "-qq"], check=True)
        subprocess.run(sudo + ["apt-get", "install", "-y", "-qq", "--no-install-recommends"] + missing, check=True,
                       env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))


def fortune_text(traditional):
    text = []
    for name in FORTUNES:
        raw = open(f"/usr/share/games/fortunes/{name}", encoding="utf-8").read()
        raw = re.sub(r"\x1b\[[0-9;]*m", "", raw)
        if traditional:
            raw = subprocess.run(["opencc", "-c", "s2tw.json"], input=raw, capture_output=True, text=True,
                                 check=True).stdout
        text.append(raw)
    return text


def catalogue_text(locale):
    text = []
    for name in CATALOGUES:
        path = f"{LOCALES}/{locale}/LC_MESSAGES/{name}.mo"
        if not os.path.exists(path):
            continue
        with open(path, "rb") as f:
            catalogue = gettext.GNUTranslations(f)
        text.extend(str(v) for v in catalogue._catalog.values())
    return text


def is_han(c):
    o = ord(c)
    return 0x3400 <= o <= 0x9FFF or 0xF900 <= o <= 0xFAFF or 0x20000 <= o <= 0x3FFFF


def count(texts):
    characters = collections.Counter()
    pairs = collections.Counter()
    for text in texts:
        previous = None
        for c in text:
            if ord(c) < 0x80 or c.isspace():
                previous = None
                continue
            characters[c] += 1
            if previous is not None and is_han(previous) and is_han(c):
                pairs[previous + c] += 1
            previous = c
    return characters, pairs


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "core",
                                                                 "ChineseTextStatistics.inc")
    install_missing()
    variants = {
        "cn": count(manual_text("cn") + catalogue_text("zh_CN") + fortune_text(False)),
        "tw": count(manual_text("tw") + catalogue_text("zh_TW") + fortune_text(True)),
    }
    shares = {}
    for variant, (characters, _) in variants.items():
        total = sum(characters.values())
        shares[variant] = {c: n / total for c, n in characters.items()}

    costs = {}
    for c in set(variants["cn"][0]) | set(variants["tw"][0]):
        if ord(c) > 0xFFFF:
            continue
        if variants["cn"][0][c] + variants["tw"][0][c] < MIN_CHARACTER_COUNT or c.isprintable() is False:
            continue
        share = 0.5 * shares["cn"].get(c, 0) + 0.5 * shares["tw"].get(c, 0)
        cost = max(1, round(-math.log2(share)))
        if cost <= MAX_COST:
            costs[c] = cost

    bonuses = {}
    for variant, (characters, pairs) in variants.items():
        for pair, n in pairs.items():
            if n < MIN_PAIR_COUNT or max(map(ord, pair)) > 0xFFFF:
                continue
            first, second = pair
            bonus = math.log2(n / characters[first] / shares[variant][second])
            if round(bonus) >= MIN_BONUS:
                weight = n * bonus
                if weight > bonuses.get(pair, (0, 0))[1]:
                    bonuses[pair] = (min(MAX_BONUS, round(bonus)), weight)
    kept = sorted(bonuses.items(), key=lambda item: -item[1][1])[:MAX_PAIRS]

    by_cost = collections.defaultdict(list)
    for c, cost in costs.items():
        by_cost[cost].append(c)
    by_bonus = collections.defaultdict(list)
    for pair, (bonus, _) in kept:
        by_bonus[bonus].append(pair)

    def literal(chars):
        # Lines of at most 40 characters keep the file readable and its diffs small.
        chunks = ["".join(chars[i:i + 40]) for i in range(0, len(chars), 40)]
        return "\n".join(f'        "{chunk}"' for chunk in chunks) if chunks else '        ""'

    with open(output, "w", encoding="utf-8") as out:
        out.write("// Generated by tools/han_frequencies.py from the Chinese text Debian installs; do not edit.\n")
        out.write(f"// {len(costs)} characters by cost in bits, {len(kept)} pairs by bonus in bits.\n")
        out.write("// clang-format off\n")
        out.write("constexpr CostBand kCharacterCosts[] = {\n")
        for cost in sorted(by_cost):
            out.write(f"    {{{cost},\n{literal(sorted(by_cost[cost]))}}},\n")
        out.write("};\n")
        out.write("constexpr CostBand kPairBonuses[] = {\n")
        for bonus in sorted(by_bonus):
            out.write(f"    {{{bonus},\n{literal(sorted(by_bonus[bonus]))}}},\n")
        out.write("};\n")
        out.write("// clang-format on\n")
    print(f"{output}: {len(costs)} characters, {len(kept)} pairs, {os.path.getsize(output)} bytes")


if __name__ == "__main__":
    main()
