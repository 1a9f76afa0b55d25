#!/usr/bin/env bash
# Checks a manual page's scdoc source against its program: manpage_test.sh PAGE.scd PROGRAM
# The terms of the page's OPTIONS section must name exactly the options that PROGRAM --help lists
# (each name in its own pair of asterisks), and the page must have the sections a user looks for.
set -uo pipefail
page="$1"
program="$2"
failed=0

# The names in the option column of --help's "Options:" lines ("  -q, --quiet   no progress bar"),
# one to a line, sorted.
help_options()
{
    "$program" --help | awk '
        /^Options:/ { inside = 1; next }
        inside && /^$/ { inside = 0 }
        inside && /^  -/ {
            column = $0
            sub(/^  /, "", column)
            sub(/  .*/, "", column)
            count = split(column, words, /,? /)
            for (i = 1; i <= count; i++)
                if (words[i] ~ /^-/)
                    print words[i]
        }' | sort -u
}

# The bold option names on the term lines of the page's OPTIONS section, one to a line, sorted.
page_options()
{
    awk '
        /^# / { inside = ($0 == "# OPTIONS"); next }
        inside && /^\*-/ {
            line = $0
            while (match(line, /\*-[^*]*\*/)) {
                print substr(line, RSTART + 1, RLENGTH - 2)
                line = substr(line, RSTART + RLENGTH)
            }
        }' "$page" | sort -u
}

listed=$(help_options) || {
    echo "FAIL: $program --help"
    exit 1
}
[ -n "$listed" ] || {
    echo "FAIL: $program --help lists no options"
    exit 1
}
documented=$(page_options)
missing=$(comm -23 <(echo "$listed") <(echo "$documented"))
extra=$(comm -13 <(echo "$listed") <(echo "$documented"))
if [ -n "$missing" ]; then
    echo "FAIL: options --help lists but $page does not describe: $(xargs <<<"$missing")"
    failed=1
fi
if [ -n "$extra" ]; then
    echo "FAIL: options $page describes but --help does not list: $(xargs <<<"$extra")"
    failed=1
fi

for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES EXAMPLES "SEE ALSO"; do
    grep -qx "# $section" "$page" || {
        echo "FAIL: $page has no $section section"
        failed=1
    }
done
exit $failed
