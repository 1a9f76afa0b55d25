#!/usr/bin/env python3
"""Makes sets of real-looking Chinese files in GB, BIG5 and UTF-8, for the detection benchmark:

    bench/detection-sets.py OUT

The text comes from Debian's Chinese manual pages (manpages-zh: zh_CN for the Simplified files, zh_TW
for the Traditional ones), which the character statistics never saw. Each set holds, in its own
kind of file: prose, tables and tree listings drawn with box characters, formulas with Greek and
Cyrillic letters, kana beside Chinese, short HTML pages with a title only, code with Chinese
comments, and text heavy with full-width punctuation. OUT/gb and OUT/big5 hold the files in their
code page (written by ICU's `uconv`, the converters the program reads with; BIG5 has no kana and
no Cyrillic, so its set has no such files), OUT/utf8-cn and OUT/utf8-tw the same text as UTF-8.
The choice of text is fixed, so the sets come out the same every time. Installs manpages-zh when missing.
"""
import glob
import gzip
import os
import random
import re
import shutil
import subprocess
import sys

PER_KIND = 10
CODE_PAGES = {"gb": ("zh_CN", "windows-936", "utf8-cn"), "big5": ("zh_TW", "windows-950", "utf8-tw")}


def install_missing():
    status = subprocess.run(["dpkg-query", "-W", "-f=${Status}", "manpages-zh"], capture_output=True, text=True)
    if "install ok installed" not in status.stdout:
        sudo = [] if os.geteuid() == 0 else ["sudo"]
        subprocess.run(sudo + ["apt-get", "update", "-qq"], check=True)
        subprocess.run(sudo + ["apt-get", "install", "-y", "-qq", "--no-install-recommends", "manpages-zh"],
                       check=True, env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))


def han_count(text):
    return sum(1 for c in text if "\u3400" <= c <= "\u9fff")


def plain(line):
    line = re.sub(r"\\f(\[[^]]*\]|\(..|.)", "", line)
    line = re.sub(r"\\\((..)", "", line)
    line = re.sub(r"\\[-&,/ e|^]", lambda m: "-" if m.group(0) == "\\-" else "", line)
    return line.replace("\\", "").strip()


def man_pages(locale):
    """Each page as its name line and its lines of text with Chinese in them."""
    pages = []
    for path in sorted(glob.glob(f"/usr/share/man/{locale}/man[18]/*.gz")):
        try:
            source = gzip.open(path, "rt", encoding="utf-8").read()
        except (UnicodeDecodeError, OSError):
            continue
        name = ""
        lines = []
        previous = ""
        for raw in source.splitlines():
            if raw.startswith(".\\\"") or raw.startswith("'\\\"") or raw.startswith(".TH"):
                continue
            if raw.startswith("."):
                text = plain(re.sub(r"^\.\S+\s*", "", raw))
            else:
                text = plain(raw)
            if previous.startswith(".SH") and ("名称" in previous or "名稱" in previous) and not name:
                name = text
            previous = raw
            if han_count(text) >= 2:
                lines.append(text)
        if len(lines) >= 6:
            pages.append((os.path.basename(path).split(".")[0], name, lines))
    return pages


def width(text):
    return sum(2 if ord(c) >= 0x1100 else 1 for c in text)


def pad(text, columns):
    return text + " " * (columns - width(text))


def clipped(text, columns):
    out = ""
    for c in text:
        if width(out + c) > columns:
            break
        out += c
    return out


def table(page, rng):
    rows = []
    for line in page[2]:
        words = line.split(None, 1)
        if len(words) == 2 and han_count(words[1]) >= 2:
            rows.append((clipped(words[0], 16), clipped(words[1], 40)))
    rows = rows[:rng.randint(3, 7)] or [(page[0], clipped(page[2][0], 40))]
    left = max(width(a) for a, _ in rows)
    right = max(width(b) for _, b in rows)
    out = [f"┌{'─' * (left + 2)}┬{'─' * (right + 2)}┐"]
    for i, (a, b) in enumerate(rows):
        if i:
            out.append(f"├{'─' * (left + 2)}┼{'─' * (right + 2)}┤")
        out.append(f"│ {pad(a, left)} │ {pad(b, right)} │")
    out.append(f"└{'─' * (left + 2)}┴{'─' * (right + 2)}┘")
    return "\n".join(out) + "\n"


def tree(page, rng):
    names = ["etc", "usr", "share", "doc", "bin", "lib", "src", "index.html", "README", "Makefile", "main.c"]
    out = [f"/srv/{page[0]}"]
    lines = page[2]
    count = rng.randint(4, 9)
    for i in range(count):
        last = i == count - 1
        depth = rng.randint(0, 2)
        prefix = "│   " * depth + ("└── " if last else "├── ")
        comment = clipped(lines[i % len(lines)], 30) if rng.random() < 0.5 else ""
        out.append(prefix + rng.choice(names) + (f"    # {comment}" if comment else ""))
    return "\n".join(out) + "\n"


def formula(page, rng, cyrillic):
    greek = "αβγδεθλμπρστφωΔΣΩ"
    letters = greek + ("абвгджзийклмнЖБД" if cyrillic else "")
    out = []
    for line in page[2][:rng.randint(2, 4)]:
        a, b, c = rng.choice(letters), rng.choice(letters), rng.choice(greek)
        out.append(f"{clipped(line, 50)}\n    {a} = {rng.randint(2, 99)}{b} + {c}，{b} = {rng.random():.3f}")
    return "\n".join(out) + "\n"


def kana(page, rng):
    words = ["ひらがな", "カタカナ", "ファイル", "ディレクトリ", "です", "ます", "ありがとう", "コマンド"]
    out = []
    for line in page[2][:rng.randint(2, 4)]:
        out.append(f"{clipped(line, 40)}（日文：{rng.choice(words)}、{rng.choice(words)}）")
    return "\n".join(out) + "\n"


def title(page, rng):
    runs = re.findall(r"[\u3400-\u9fff]+", page[1]) or re.findall(r"[\u3400-\u9fff]+", page[2][0])
    text = max(runs, key=len)[:rng.randint(1, 8)]
    return f"<html><head><title>{text}</title></head>\n<body><h1>{text}</h1></body></html>\n"


def code(page, rng):
    lines = page[2]
    style = rng.choice(["c", "sh", "js"])
    if style == "c":
        return (f"/* {clipped(lines[0], 50)} */\n#include <stdio.h>\n\nint main(void)\n{{\n"
                f"    // {clipped(lines[1], 40)}\n    printf(\"%d\\n\", 42);\n    return 0;\n}}\n")
    if style == "sh":
        return (f"#!/bin/sh\n# {clipped(lines[0], 50)}\nset -e\n# {clipped(lines[1], 40)}\n"
                f"{page[0]} --help >/dev/null\n")
    return (f"// {clipped(lines[0], 50)}\nfunction check(value) {{\n    // {clipped(lines[1], 40)}\n"
            f"    return value > 0;\n}}\n")


def punctuation(page, rng):
    marks = ["【", "】", "《", "》", "「", "」", "『", "』", "……", "——", "～", "！", "？", "＃", "％", "＆"]
    out = []
    for line in page[2][:rng.randint(2, 5)]:
        digits = "".join(chr(0xFF10 + int(d)) for d in str(rng.randint(1, 999)))
        letter = chr(0xFF21 + rng.randint(0, 25))
        out.append(f"{rng.choice(marks)}{clipped(line, 40)}{rng.choice(marks)}（{letter}{digits}）")
    return "\n".join(out) + "\n"


def prose(page, rng):
    start = rng.randint(0, max(0, len(page[2]) - 6))
    return "\n".join(page[2][start:start + rng.randint(3, 6)]) + "\n"


def encoded(text, code_page):
    result = subprocess.run(["uconv", "-f", "utf-8", "-t", code_page], input=text.encode("utf-8"),
                            capture_output=True)
    return result.stdout if result.returncode == 0 else None


def main():
    out = sys.argv[1]
    install_missing()
    shutil.rmtree(out, ignore_errors=True)
    for site, (locale, code_page, utf8) in CODE_PAGES.items():
        os.makedirs(f"{out}/{site}")
        os.makedirs(f"{out}/{utf8}")
        pages = man_pages(locale)
        rng = random.Random(19)
        kinds = {
            "prose": prose, "table": table, "tree": tree, "formula": lambda p, r: formula(p, r, True),
            "greek": lambda p, r: formula(p, r, False), "kana": kana, "title": title, "code": code,
            "punctuation": punctuation,
        }
        made = 0
        for kind, make in kinds.items():
            done = 0
            tries = 0
            while done < PER_KIND and tries < 200:
                tries += 1
                page = rng.choice(pages)
                text = make(page, rng)
                data = encoded(text, code_page)
                if data is None:
                    continue
                name = f"{kind}-{done:02d}-{page[0]}.txt"
                open(f"{out}/{site}/{name}", "wb").write(data)
                open(f"{out}/{utf8}/{name}", "w", encoding="utf-8").write(text)
                done += 1
            made += done
        print(f"{out}/{site}: {made} files; {out}/{utf8}: the same as UTF-8")


if __name__ == "__main__":
    main()
