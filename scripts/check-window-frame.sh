#!/usr/bin/env bash
# Checks the main window's outer size and place under a real window manager (Openbox on Xvfb), as a
# person would see them: at the start, after the window is made smaller than its minimum, and after
# it is made larger. Installs Xvfb, Openbox, xdotool and xwininfo when missing. Not part of CI.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELTRAN_BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh" openbox xdotool x11-utils xvfb
cmake --build "$build" --target veltran -j"$(nproc)" >/dev/null

work="$(mktemp -d /tmp/veltran-frame-XXXXXX)"
display=":$((100 + RANDOM % 800))"
cleanup() { kill "${app:-0}" "${wm:-0}" "${xvfb:-0}" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
Xvfb "$display" -screen 0 1280x1024x24 -dpi 96 >/dev/null 2>&1 & xvfb=$!
sleep 1
export DISPLAY="$display" HOME="$work" XDG_CONFIG_HOME="$work/.config" XDG_RUNTIME_DIR="$work"
chmod 700 "$work"
openbox >/dev/null 2>&1 & wm=$!
mkdir -p "$XDG_CONFIG_HOME/Veltran"
printf '[Parameter]\nFirstRunMe=1\n' > "$XDG_CONFIG_HOME/Veltran/Veltran.conf"
"$build/app/veltran" >/dev/null 2>&1 & app=$!
sleep 3

id="$(xdotool search --name 'GB/BIG5' | head -1)"
# The outer frame: the window manager's parent of the program's window.
frame() {
    local parent
    parent="$(xwininfo -id "$id" -tree | awk '/Parent window id/ {print $4}')"
    xwininfo -id "$parent" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                                  /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}
# 8000 x 6400 twips at 96 dots per inch, centred on 1280 x 1024 (halves rounded down, in twips).
expect() {
    local got
    got="$(frame)"
    if [ "$got" = "$2" ]; then echo "ok      $1: $got"; else echo "WRONG   $1: $got, expected $2"; failed=1; fi
}
failed=0
expect "at the start" "373 298 533 427"
xdotool windowsize "$id" 300 600; sleep 1
expect "made narrower than the minimum" "373 298 533 427"
xdotool windowsize "$id" 600 300; sleep 1
expect "made lower than the minimum" "373 298 533 427"
xdotool windowsize "$id" 900 700; sleep 1
expect "made larger" "189 149 902 725"
exit $failed
