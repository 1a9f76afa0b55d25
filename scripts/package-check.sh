#!/usr/bin/env bash
# Builds the Debian package and checks what its users would meet: the desktop entry and the AppStream
# metadata pass their validators, lintian finds no errors, every file is where the desktop looks for
# it, the dependencies were worked out from the binaries, and the programs from an unpacked copy of
# the package run on this system's libraries: veltran-cli converts a copy of samples/ and veltran
# starts. Installs the checking tools that are missing; run it after scripts/test.sh.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELTRAN_BUILD_DIR:-$root/build}"

"$root/scripts/install-deps.sh" lintian desktop-file-utils appstream
"$root/scripts/package.sh"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
deb="$build/veltran_${version}_$(dpkg --print-architecture).deb"
work="$(mktemp -d /tmp/veltran-package-XXXXXX)"
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work/root"
usr="$work/root/usr"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
echo "Checking $deb"

for file in bin/veltran bin/veltran-cli share/applications/veltran.desktop \
    share/metainfo/org.example.veltran.metainfo.xml share/icons/hicolor/scalable/apps/veltran.svg \
    share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/veltran.png \
    share/man/man1/veltran-cli.1.gz share/man/man1/veltran.1.gz share/bash-completion/completions/veltran-cli \
    share/doc/veltran/copyright share/doc/veltran/changelog.gz; do
    [ -f "$usr/$file" ] || fail "the package lacks /usr/$file"
done

depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for library in libc6 libstdc++6 libicu libqt6core6 libqt6widgets6 qt6-qpa-plugins qt6-translations-l10n; do
    [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library"
done

# The version is written by hand in three places: the build, the changelog and the metainfo.
changelog_version="$(zcat "$usr/share/doc/veltran/changelog.gz" | sed -n '1s/^veltran (\([^)]*\)).*/\1/p')"
[ "$changelog_version" = "$version" ] || fail "the changelog's last entry is $changelog_version, not $version"
grep -q "<release version=\"$version\"" "$usr/share/metainfo/org.example.veltran.metainfo.xml" ||
    fail "the metainfo has no release $version"
[ "$("$usr/bin/veltran-cli" --version)" = "veltran-cli $version" ] || fail "veltran-cli --version is not $version"

desktop-file-validate "$usr/share/applications/veltran.desktop" || fail "desktop-file-validate"
appstreamcli validate-tree --no-net "$work/root" || fail "appstreamcli validate-tree"

echo "lintian:"
lintian --fail-on error --display-info "$deb" || fail "lintian found errors"

# The unpacked veltran-cli converts a copy of the GB samples to UTF-8. The sample texts are all
# Simplified Chinese, so each file must equal iconv's decoding of its backup.
cp -r "$root/samples" "$work/site"
"$usr/bin/veltran-cli" --from gb --to utf8 --log "$work/Veltran.log" "$work/site" || fail "veltran-cli exited with $?"
count=0
while IFS= read -r -d '' backup; do
    count=$((count + 1))
    cmp -s <(iconv -f GBK -t UTF-8 "$backup") "${backup%.bak}" || fail "${backup#"$work"/} was not converted to UTF-8"
done < <(find "$work/site" -name '*.bak' -print0)
[ "$count" -eq "$(find "$root/samples" -type f | wc -l)" ] || fail "$count of the samples were converted"

# The unpacked window starts, renders itself and quits, with throw-away settings.
home="$work/home"
mkdir -p "$home/runtime" && chmod 700 "$home/runtime"
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" XDG_RUNTIME_DIR="$home/runtime" \
    QT_QPA_PLATFORM=offscreen timeout 60 "$usr/bin/veltran" --screenshot "$work/shots" >/dev/null ||
    fail "veltran did not start and quit"

if [ "$failures" -gt 0 ]; then
    echo "$failures package checks failed"
    exit 1
fi
echo "Package checks passed: $(basename "$deb")"
