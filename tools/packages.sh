#!/usr/bin/env bash
# Installs the Debian packages Kestrana needs to build, test and run, only those that are missing.
set -euo pipefail
packages=(g++ cmake make pkg-config libsqlite3-dev libssl-dev libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-charts-dev libgl-dev
          xvfb xauth x11-xserver-utils poppler-utils fonts-dejavu-core
          time python3)
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
