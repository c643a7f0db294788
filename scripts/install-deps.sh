#!/usr/bin/env bash
# Installs the Debian packages that Ruvo needs, when any is missing.
# Usage: install-deps.sh [run|test|deb]: building and running only (the default), also testing, or
# also building a Debian package.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-wayland libgl-dev
    libsqlite3-dev
    libical-dev tzdata
    qtkeychain-qt6-dev
    fonts-liberation
    qt6-translations-l10n
)
if [ "${1:-run}" = test ]; then
    packages+=(
        sqlite3
        libbenchmark-dev
        xvfb xauth xdotool x11-utils trayer
        dbus-daemon dbus-session-bus-common
        clang-format clang-tidy
        poppler-utils
        desktop-file-utils appstream dpkg-dev
        clang libclang-rt-14-dev
        radicale openssl
    )
fi
if [ "${1:-run}" = deb ]; then
    packages+=(dpkg-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
