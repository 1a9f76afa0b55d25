#!/usr/bin/env bash
# Installs what is missing, builds, and starts Veltran. Without a display it shows the
# command-line converter at work instead: a copy of samples/ converted from GB to UTF-8.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELTRAN_BUILD_DIR:-$root/build}"

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/app/veltran" "$@"
fi

work="$(mktemp -d /tmp/veltran-samples-XXXXXX)"
cp -r "$root/samples" "$work/site"
echo "No display: converting a copy of samples/ in $work/site from GB to UTF-8."
status=0
"$build/cli/veltran-cli" --from gb --to utf8 --charset-header --rules "$root/scripts/demo.rules" --log "$work/Veltran.log" "$work/site" || status=$?
echo
echo "Run log ($work/Veltran.log):"
cat "$work/Veltran.log"
echo
echo
echo "Converted files (the originals are kept as .bak):"
(cd "$work/site" && find . -type f | sort)
exit $status
