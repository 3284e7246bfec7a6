#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
# Builds Kestrana from this checkout and runs the whole test suite through ctest.
# KESTRANA_CMAKE_ARGS adds options to the configure step (.ci/run: -DKESTRANA_WERROR=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/packages.sh
# shellcheck disable=SC2086 # the options are words of their own
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release ${KESTRANA_CMAKE_ARGS:-}
cmake --build build -j "$(nproc)"
ctest --test-dir build --output-on-failure -j "$(nproc)"
