#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
# Builds the two Debian packages in build-package, beside the plain build, with the compiler and linker
# flags Debian builds its own packages with (hardening included, -DKESTRANA_DEBIAN_FLAGS=ON):
#
#   build-package/kestrana-cli_<version>_<arch>.deb   the batch front end, without Qt
#   build-package/kestrana_<version>_<arch>.deb       the desktop program, depending on the first
#
# Install both with: apt-get install ./build-package/kestrana*.deb
# KESTRANA_CMAKE_ARGS adds options to the configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/packages.sh
# shellcheck disable=SC2086 # the options are words of their own
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DKESTRANA_DEBIAN_FLAGS=ON \
    -DKESTRANA_BUILD_TESTS=OFF -DKESTRANA_BUILD_BENCH=OFF ${KESTRANA_CMAKE_ARGS:-}
cmake --build build-package -j "$(nproc)"
rm -f build-package/*.deb
(cd build-package && cpack -G DEB)
ls -l build-package/*.deb
