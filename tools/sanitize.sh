#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
# Builds the core and command-line tests with the address and undefined-behaviour sanitizers (in
# build-sanitize, beside the plain build) and runs them through ctest: any invalid memory access,
# leak or undefined behaviour fails the test that provoked it. The screens' tests run in the plain
# build only; under the sanitizers the Qt build would double the time of a CI run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/packages.sh
# -O1 with line tables only: what the sanitizers need for their reports and stack traces, and a build
# a third quicker than -O2 -g, which keeps CI short.
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
    -DKESTRANA_SANITIZE=address,undefined \
    -DKESTRANA_BUILD_GUI=OFF
cmake --build build-sanitize -j "$(nproc)" --target core_tests cli_tests library_tests defects_driver
UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-sanitize --output-on-failure -j "$(nproc)"
