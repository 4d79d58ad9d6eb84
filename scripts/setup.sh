#!/usr/bin/env bash
# Installs every Debian package the project needs (only those missing) and builds it.
# Safe to run again at any time.
# Usage: scripts/setup.sh [build-dir [cmake options...]] | scripts/setup.sh --packages-only
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-"$here/build"}
shift $(( $# > 0 ? 1 : 0 ))

packages=(
    build-essential cmake ninja-build pkg-config clang-format
    qt6-base-dev qt6-serialport-dev qt6-translations-l10n
    libqcustomplot-dev libqcustomplot2.1-qt6
    libxlsxwriter-dev zlib1g-dev
    libmosquitto-dev mosquitto openssl
    libgtest-dev libgmock-dev
    fonts-nanum xvfb xauth x11-utils
    python3-openpyxl
    clang libclang-rt-14-dev
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ "$build" = "--packages-only" ]; then
    exit 0
fi

werror=OFF
if [ "${CI:-}" = "true" ]; then
    werror=ON
fi
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZR410_WERROR=$werror "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
