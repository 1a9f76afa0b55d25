#!/usr/bin/env bash
# Installs the Debian packages Veltran needs to build, test and run; only what is missing.
# With arguments, installs those packages instead (scripts/package-check.sh uses this for its tools).
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    scdoc librsvg2-bin
    libicu-dev libssl-dev
    libopencc-dev libopencc-data
    qt6-base-dev libgl-dev qt6-translations-l10n
    libgtest-dev nlohmann-json3-dev
    manpages-zh debian-reference-zh-cn debian-reference-zh-tw
    fonts-wqy-microhei
    xvfb xauth
)
[ $# -gt 0 ] && packages=("$@")

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
