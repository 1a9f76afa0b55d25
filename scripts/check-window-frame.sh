#!/usr/bin/env bash
# Checks the main window's outer size and place under a real window manager (Openbox on Xvfb), as a
# person would see them: at the start, after the window is made smaller than its minimum, after it is
# made larger, and after its corner is dragged with the mouse, held still a moment and let go:
#   scripts/check-window-frame.sh [WIDTHxHEIGHT]     (the screen; default 1280x1024)
# Installs Xvfb, Openbox, xdotool and xwininfo when missing. Not part of CI.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELTRAN_BUILD_DIR:-$root/build}"
screen="${1:-1280x1024}"
screen_width="${screen%x*}"
screen_height="${screen#*x}"
"$root/scripts/install-deps.sh" openbox xdotool x11-utils xvfb
cmake --build "$build" --target veltran -j"$(nproc)" >/dev/null

work="$(mktemp -d /tmp/veltran-frame-XXXXXX)"
display=":$((100 + RANDOM % 800))"
cleanup() { kill "${app:-0}" "${wm:-0}" "${xvfb:-0}" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
Xvfb "$display" -screen 0 "${screen}x24" -dpi 96 >/dev/null 2>&1 & xvfb=$!
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
# The outer frame centred on the screen, halves rounded down.
centred() { echo "$(((screen_width - $1) / 2)) $(((screen_height - $2) / 2)) $1 $2"; }
expect() {
    local got
    got="$(frame)"
    if [ "$got" = "$2" ]; then echo "ok      $1: $got"; else echo "WRONG   $1: $got, expected $2"; failed=1; fi
}
failed=0
# 8000 x 6400 twips at 96 dots per inch is 533 x 427 pixels.
expect "at the start" "$(centred 533 427)"
xdotool windowsize "$id" 300 600; sleep 1
expect "made narrower than the minimum" "$(centred 533 427)"
xdotool windowsize "$id" 600 300; sleep 1
expect "made lower than the minimum" "$(centred 533 427)"
xdotool windowsize "$id" 900 700; sleep 1
expect "made larger" "$(centred 902 725)"
# The corner dragged outwards and held still while the window manager ignores the rule, then let go
# with the pointer outside the window: the window is centred at the size it was dragged to.
read -r x y w h <<<"$(frame)"
xdotool mousemove $((x + w - 2)) $((y + h - 2)) sleep 0.3 mousedown 1 sleep 0.2
for step in 1 2 3 4 5; do xdotool mousemove $((x + w - 2 + 20 * step)) $((y + h - 2 + 15 * step)) sleep 0.05; done
xdotool sleep 0.6 mouseup 1 sleep 0.2 mousemove 1 1 sleep 1.5
read -r x y w h <<<"$(frame)"
expect "dragged larger and let go" "$(centred "$w" "$h")"
exit $failed
