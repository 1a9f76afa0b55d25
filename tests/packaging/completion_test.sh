#!/usr/bin/env bash
# Checks veltran-cli's bash completion against the program: completion_test.sh COMPLETION VELTRAN_CLI
# The completion works without the bash-completion package, so plain bash can load it.
set -uo pipefail
source "$1"
cli="$2"
failed=0

# Completes the command line given as words, the last being the word under the cursor; prints the
# offers sorted on one line.
offers()
{
    COMP_WORDS=(veltran-cli "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _veltran_cli
    printf '%s\n' "${COMPREPLY[@]}" | sort | xargs
}

expect()
{
    local name=$1 expected=$2 actual=$3
    if [ "$actual" != "$expected" ]; then
        echo "FAIL $name: expected \"$expected\", got \"$actual\""
        failed=1
    fi
}

documented=$("$cli" --help | grep -oE -- '--[a-z][a-z-]+' | sort -u | xargs) || {
    echo "FAIL: $cli --help"
    exit 1
}
cd "$(mktemp -d)" || exit 1
trap 'rm -rf "$PWD"' EXIT
touch rules.txt page.htm

expect "every option --help lists" "$documented" "$(offers --)"
expect "encodings after --from" "auto big5 gb gb18030 utf8" "$(offers --from '')"
expect "encodings after -t" "gb gb18030" "$(offers -t g)"
expect "forms after --chinese" "taiwan traditional" "$(offers --chinese t)"
expect "encodings after --to=" "utf8" "$(offers --to = u)"
expect "files after --rules" "rules.txt" "$(offers --from gb --rules r)"
expect "no options after --" "" "$(offers --from gb -- --f)"
expect "paths" "page.htm rules.txt" "$(offers --from gb --to utf8 '')"
exit $failed
