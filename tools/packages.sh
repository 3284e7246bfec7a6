#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
# Installs the Debian 12 packages Kestrana needs to build, test, package and run, only those missing.
# The list is complete on its own: packages are installed without their "recommends", so nothing may
# be counted on to arrive as a side effect (tools/fresh-check.sh proves it on a minimal Debian).
# Packages named as arguments are installed too (tools/coverage.sh asks for gcovr this way).
set -euo pipefail
packages=(
    # compiler and build
    g++ make cmake pkg-config
    # libraries: SQLite, libpq (the run library a team shares on PostgreSQL), Qt 6 (Charts needs the
    # OpenGL development files, which qt6-base-dev only recommends; Qt SVG draws the window icon),
    # GoogleTest, Google Benchmark (optional: the benchmarks are skipped without it)
    libsqlite3-dev libssl-dev libpq-dev qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    # the library tests' throw-away PostgreSQL server (pg_virtualenv comes with postgresql-common)
    postgresql postgresql-common
    # tests and the program: a virtual display, printed PDFs, the resolution switch, a font
    xvfb xauth x11-xserver-utils poppler-utils fonts-dejavu-core
    # whole-process timing and peak memory (tools/bench-cli.sh); the independent forecast check
    time python3
    # the command-line test that written files are flushed around their rename
    strace
    # formatting check, the .deb (shlibdeps, the build flags), and the checks of the desktop entry and
    # metainfo
    clang-format dpkg-dev file desktop-file-utils appstream
    # the translation template of the screens' texts (lupdate)
    qt6-l10n-tools
    # the checks of the packages: lintian, hardening-check (devscripts), the run files' MIME type; git
    # for the lists of committed files (the formatting check, the licence lines)
    lintian devscripts shared-mime-info git
    "$@"
)
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
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
