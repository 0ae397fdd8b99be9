#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need.
# Safe to run again: it installs only what is missing.
set -euo pipefail
packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
    qt6-base-dev libgl-dev fonts-liberation
    libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev libical-dev
    python3-dbf python3-dbfread python3-icalendar python3-vobject poppler-utils xdg-utils tango-icon-theme
    qt6-translations-l10n desktop-file-utils trans-de-en dbus-daemon python3-dbusmock
    radicale xandikos qtkeychain-qt6-dev
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: ${missing[*]} (run as root to install them)" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
