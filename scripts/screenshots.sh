#!/usr/bin/env bash
# Saves pictures of the program as PNG files: the first-start about box, the main window with its
# list filled from a copy of samples/, the rule editor, Qt's file dialog (in Chinese, through Qt's own
# translation), the result of a check, a run over that list to BIG5 in progress, its closing message
# (a page fails and one loses a character BIG5 lacks) and the run log it opens:
#   scripts/screenshots.sh [FOLDER]        (default: docs/screenshots)
# The program runs with fresh settings in a throw-away home, under Xvfb when xvfb-run is installed
# and on Qt's offscreen platform otherwise, so no display or person is needed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELTRAN_BUILD_DIR:-$root/build}"
out="${1:-$root/docs/screenshots}"

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target veltran -j"$(nproc)" >/dev/null

mkdir -p "$out"
out="$(cd "$out" && pwd)"
home="$(mktemp -d /tmp/veltran-screenshots-XXXXXX)"
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/runtime"
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" XDG_RUNTIME_DIR="$home/runtime"

# A site large enough for the run to be pictured while it goes: the samples, many times over.
site="$home/site"
for i in $(seq -w 1 400); do
    mkdir -p "$site/part$i"
    cp -r "$root/samples/." "$site/part$i/"
done
# A GB page with a character BIG5 lacks (ⅰ), and one with bytes that are not GB.
mkdir -p "$site/more"
printf '<p>\xD6\xD0\xCE\xC4 \xA2\xA1</p>\r\n' > "$site/more/roman.htm"
printf '<p>\x81\x20</p>\r\n' > "$site/more/broken.htm"

# A copy of the program in the throw-away home, so that the run log it writes beside itself (and
# names in the closing message) is there too.
mkdir "$home/bin"
cp "$build/app/veltran" "$home/bin/veltran"
# It finds its mapping tables as lib/veltran beside its bin/, as an installed program does.
ln -s "$build/lib" "$home/lib"
if command -v xvfb-run >/dev/null 2>&1; then
    xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$home/bin/veltran" --screenshot "$out" "$site"
else
    QT_QPA_PLATFORM=offscreen "$home/bin/veltran" --screenshot "$out" "$site"
fi
