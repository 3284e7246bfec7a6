#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
# Runs the run-library tests against both kinds of library: SQLite files, and a throw-away PostgreSQL
# cluster that pg_virtualenv (postgresql-common) starts for them and removes afterwards (-t: in a
# temporary folder, also when run as root, so that several runs at once never meet). Where the server
# binaries are missing, the server tests are skipped, saying so in one line.
set -euo pipefail
tests="$1"
shift
if command -v pg_virtualenv > /dev/null && compgen -G '/usr/lib/postgresql/*/bin/postgres' > /dev/null; then
    exec pg_virtualenv -t env KESTRANA_TEST_SERVER=1 "$tests" "$@"
fi
echo "PostgreSQL library tests skipped: no PostgreSQL server installed (Debian: postgresql, postgresql-common)"
exec "$tests" --gtest_filter='-*/Postgresql:ServerLibrary.*' "$@"
