#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
# Line coverage of the core by the core and command-line tests: builds them instrumented (gcc
# --coverage, no optimisation) in build-coverage, beside the plain build, runs them through ctest and
# prints gcovr's summary for src/core. `tools/coverage.sh --html FILE` also writes a page per source
# file with every line marked.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/packages.sh gcovr
cmake -S . -B build-coverage -DCMAKE_BUILD_TYPE=Debug -DKESTRANA_COVERAGE=ON -DKESTRANA_BUILD_GUI=OFF \
    -DKESTRANA_BUILD_BENCH=OFF
cmake --build build-coverage -j "$(nproc)" --target core_tests cli_tests library_tests defects_driver
find build-coverage -name '*.gcda' -delete
ctest --test-dir build-coverage --output-on-failure -j "$(nproc)"
html=()
if [ "${1:-}" = "--html" ] && [ -n "${2:-}" ]; then
    html=(--html-details "$2")
fi
gcovr --root . --filter src/core/ --print-summary "${html[@]}" build-coverage | tail -n 3
