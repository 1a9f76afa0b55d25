#!/usr/bin/env bash
# Run by scripts/package-check.sh inside the clean root it makes, from the folder it copied this
# script to, with the samples beside it: package-check-inside.sh cli|window VERSION, the packages'
# version (the program's version, a hyphen and the Debian revision).
#   cli     only veltran-cli's package is installed: no Qt came with it, and the program converts a
#           copy of the samples;
#   window  veltran, an editor (vim) and the desktop's tools are installed as well: the window
#           starts, and the editor, not Veltran, is the default application of text files, while
#           "Open with" still offers Veltran.
# Prints a line for each failure and exits with 1 after any.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
stage="$1"
version="$2"
failures=0
fail() {
    echo "FAIL ($stage): $*"
    failures=$((failures + 1))
}

check_cli() {
    local installed
    installed="$(dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' | awk '$1 == "ii" { print $2 }')"
    grep -E '^(libqt|qt6)' <<<"$installed" && fail "veltran-cli brought Qt with it"
    ldd /usr/bin/veltran-cli | grep -i qt && fail "veltran-cli is linked to Qt"
    [ "$(veltran-cli --version | head -n 1)" = "veltran-cli (Veltran) ${version%-*}" ] ||
        fail "veltran-cli --version is not ${version%-*}"
    [ -f /usr/lib/veltran/mapping.tables ] || fail "no mapping tables"
    # A pipe, and GB 18030, which keeps what GB lacks.
    [ "$(printf '\xd6\xd0' | veltran-cli -f gb -t gb18030 | veltran-cli -f gb18030 -t utf8)" = "中" ] ||
        fail "veltran-cli does not convert a pipe"
    [ -f /usr/share/man/man1/veltran-cli.1.gz ] || fail "no manual page"

    # The sample texts are all Simplified Chinese, so each file must equal iconv's decoding of its
    # backup.
    local site="$here/site" count=0 backup
    cp -r "$here/samples" "$site"
    veltran-cli --from gb --to utf8 --log "$here/Veltran.log" "$site" || fail "veltran-cli exited with $?"
    while IFS= read -r -d '' backup; do
        count=$((count + 1))
        cmp -s <(iconv -f GBK -t UTF-8 "$backup") "${backup%.bak}" || fail "${backup#"$site"/} was not converted"
    done < <(find "$site" -name '*.bak' -print0)
    if [ "$count" -eq 0 ] || [ "$count" -ne "$(find "$here/samples" -type f | wc -l)" ]; then
        fail "$count of the samples were converted"
    fi
}

# The line "Default application for 'TYPE': ID" of `gio mime TYPE`, and the IDs listed under HEADING.
gio_default() {
    LC_ALL=C.UTF-8 gio mime "$1" | sed -n 's/^Default application for .*: //p'
}
gio_listed() {
    LC_ALL=C.UTF-8 gio mime "$1" | awk -v heading="$2" '
        /^[A-Z]/ { inside = index($0, heading) == 1; next }
        inside { sub(/^[ \t]+/, ""); print }'
}

check_window() {
    local type
    [ "$(dpkg-query -W -f='${Version}' veltran)" = "$version" ] || fail "veltran $version is not installed"
    # The editor names text/plain and nothing that HTML, XML or PHP are; Veltran's entry names
    # text/plain too and sorts after it, so the editor wins every one of these types.
    for type in text/plain text/html application/xml application/x-php; do
        [ "$(gio_default "$type")" = vim.desktop ] || fail "gio's default for $type is '$(gio_default "$type")'"
    done
    [ "$(xdg-mime query default text/plain)" = vim.desktop ] ||
        fail "xdg-mime's default for text/plain is '$(xdg-mime query default text/plain)'"
    gio_listed text/plain "Recommended applications" | grep -qx zz-veltran-open-with.desktop ||
        fail "Open with does not offer Veltran for text/plain"
    gio_listed text/html "Registered applications" | grep -qx zz-veltran-open-with.desktop ||
        fail "Open with does not offer Veltran for text/html"
    gio_listed text/plain "Registered applications" | grep -qx veltran.desktop &&
        fail "the launcher names a file type"

    # The window starts, renders itself and quits, with throw-away settings: its dependencies are
    # complete.
    local home="$here/home"
    mkdir -p "$home/runtime" && chmod 700 "$home/runtime"
    HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" XDG_RUNTIME_DIR="$home/runtime" \
        QT_QPA_PLATFORM=offscreen timeout 60 veltran --screenshot "$here/shots" >/dev/null ||
        fail "veltran did not start and quit"
}

case "$stage" in
cli) check_cli ;;
window) check_window ;;
*)
    echo "usage: $0 cli|window VERSION" >&2
    exit 2
    ;;
esac
[ "$failures" -eq 0 ]
