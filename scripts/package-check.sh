#!/usr/bin/env bash
# Builds the two Debian packages and checks what their users would meet. On the packages: every file
# is where it belongs and in one package only, veltran-cli depends on no Qt, the versions agree,
# the desktop entries and the AppStream metadata pass their validators, lintian --pedantic finds
# nothing at all, and the manual pages render without a warning. Then in a clean root, a minimal
# Debian made by mmdebstrap for this run (scripts/package-check-inside.sh): veltran-cli installed
# alone brings no Qt and converts a copy of samples/; with veltran, an editor and the desktop's
# tools installed too, the window starts and the editor stays the default application of text files
# while "Open with" offers Veltran. Installs the checking tools that are missing; needs root (or
# user namespaces) for the clean root, and Debian's mirror, from which it installs about a hundred
# packages (116 MB).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

"$root/scripts/install-deps.sh" lintian desktop-file-utils appstream man-db mmdebstrap
work="$(mktemp -d /tmp/veltran-package-XXXXXX)"
trap 'rm -rf "$work"' EXIT
"$root/scripts/package.sh" | tee "$work/package.log"
mapfile -t debs < <(tail -n 2 "$work/package.log")
window_deb="${debs[0]}"
cli_deb="${debs[1]}"
version="$(dpkg-deb -f "$window_deb" Version)"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
echo "Checking $window_deb and $cli_deb"

dpkg-deb -x "$window_deb" "$work/window"
dpkg-deb -x "$cli_deb" "$work/cli"
for file in bin/veltran share/applications/veltran.desktop share/applications/zz-veltran-open-with.desktop \
    share/metainfo/org.example.veltran.metainfo.xml share/icons/hicolor/scalable/apps/veltran.svg \
    share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/veltran.png \
    share/man/man1/veltran.1.gz share/doc/veltran/copyright share/doc/veltran/changelog.Debian.gz; do
    [ -f "$work/window/usr/$file" ] || fail "veltran lacks /usr/$file"
done
for file in bin/veltran-cli lib/veltran/mapping.tables share/man/man1/veltran-cli.1.gz \
    share/bash-completion/completions/veltran-cli \
    share/doc/veltran-cli/copyright share/doc/veltran-cli/changelog.Debian.gz; do
    [ -f "$work/cli/usr/$file" ] || fail "veltran-cli lacks /usr/$file"
done
shared="$(comm -12 <(dpkg-deb -c "$window_deb" | awk '!/\/$/ { print $6 }' | sort) \
    <(dpkg-deb -c "$cli_deb" | awk '!/\/$/ { print $6 }' | sort))"
[ -z "$shared" ] || fail "files in both packages: $shared"

window_depends="$(dpkg-deb -f "$window_deb" Depends)"
cli_depends="$(dpkg-deb -f "$cli_deb" Depends)"
echo "veltran Depends: $window_depends"
echo "veltran-cli Depends: $cli_depends"
[[ "$window_depends" == *"veltran-cli (= $version)"* ]] || fail "veltran does not depend on veltran-cli (= $version)"
for library in libc6 libstdc++6 libicu libqt6core6 libqt6widgets6 qt6-qpa-plugins qt6-translations-l10n; do
    [[ "$window_depends" == *"$library"* ]] || fail "veltran's Depends lacks $library"
done
for library in libc6 libstdc++6 libicu libssl; do
    [[ "$cli_depends" == *"$library"* ]] || fail "veltran-cli's Depends lacks $library"
done
[[ "$cli_depends" != *qt* ]] || fail "veltran-cli depends on Qt"

# The packages' version is the changelog's last, the program's version and a Debian revision. The
# program's version is written by hand in three places: the build, the changelog and the metainfo.
program_version="${version%-*}"
changelog_version="$(zcat "$work/cli/usr/share/doc/veltran-cli/changelog.Debian.gz" | sed -n '1s/^veltran (\([^)]*\)).*/\1/p')"
[ "$changelog_version" = "$version" ] || fail "the changelog's last entry is $changelog_version, not $version"
[ "$(dpkg-deb -f "$cli_deb" Version)" = "$version" ] || fail "the packages' versions differ"
grep -q "<release version=\"$program_version\"" "$work/window/usr/share/metainfo/org.example.veltran.metainfo.xml" ||
    fail "the metainfo has no release $program_version"

desktop-file-validate "$work"/window/usr/share/applications/*.desktop || fail "desktop-file-validate"
appstreamcli validate --pedantic --no-net "$work/window/usr/share/metainfo/org.example.veltran.metainfo.xml" ||
    fail "appstreamcli validate --pedantic"
appstreamcli validate-tree --pedantic --no-net "$work/window" || fail "appstreamcli validate-tree --pedantic"

echo "lintian --pedantic:"
tags="$(lintian --pedantic --display-info --display-experimental "$window_deb" "$cli_deb" 2>&1 |
    grep -v '^running with root privileges' || true)"
# lintian looks for misspelt words in every printable run of a program's bytes, machine code
# included ("wtH with"). A word that none of our sources writes is such a run, not our text: it is
# shown, and only a misspelling our sources hold fails the check.
kept=""
while IFS= read -r tag; do
    [ -n "$tag" ] || continue
    if [[ "$tag" =~ spelling-error-in-binary\ ([^ ]+)\  ]] &&
        ! grep -rqwF -- "${BASH_REMATCH[1]}" "$root"/{core,batch,filelist,services,ui,app,cli}; then
        echo "  (not our text: $tag)"
        continue
    fi
    kept+="$tag"$'\n'
done <<<"$tags"
[ -z "$kept" ] || fail "lintian: $kept"

# As lintian renders manual pages, failing on any warning of man or groff.
for page in "$work"/window/usr/share/man/man1/*.gz "$work"/cli/usr/share/man/man1/*.gz; do
    warnings="$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || fail "man $(basename "$page"): $warnings"
done

# The clean root, made in memory where there is room, and dpkg does not flush each file: on a disk
# (mounted with discard here) making and deleting its 20,000 files took three times as long as the
# rest.
scratch="${TMPDIR:-/tmp}"
if [ -w /dev/shm ] && [ "$(df --output=avail -k /dev/shm | tail -n 1)" -gt 2000000 ]; then
    scratch=/dev/shm
fi
mkdir -p "$work/inside"
cp -r "$root/samples" "$root/scripts/package-check-inside.sh" "$window_deb" "$work/inside/"
# shellcheck source=/dev/null
suite="$(. /etc/os-release && echo "$VERSION_CODENAME")"
inside=/tmp/veltran-check
started=$SECONDS
# In the hooks "$1" is the root, which mmdebstrap puts in.
# shellcheck disable=SC2016
TMPDIR="$scratch" mmdebstrap --variant=apt --quiet --dpkgopt=force-unsafe-io \
    --include="$cli_deb" --hook-dir=/usr/share/mmdebstrap/hooks/file-mirror-automount \
    --customize-hook="mkdir -p \"\$1\"$inside && cp -r '$work/inside/.' \"\$1\"$inside/" \
    --customize-hook="chroot \"\$1\" bash $inside/package-check-inside.sh cli '$version'" \
    --customize-hook="chroot \"\$1\" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        $inside/$(basename "$window_deb") vim desktop-file-utils xdg-utils libglib2.0-bin shared-mime-info >/dev/null" \
    --customize-hook="chroot \"\$1\" bash $inside/package-check-inside.sh window '$version'" \
    "$suite" /dev/null || fail "the checks in a clean root"
echo "The clean root took $((SECONDS - started)) s."

if [ "$failures" -gt 0 ]; then
    echo "$failures package checks failed"
    exit 1
fi
echo "Package checks passed: $(basename "$window_deb") $(basename "$cli_deb")"
