# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers

# What the shell tests of packaging share, sourced by each: a count of failed checks, fail() to note
# one with its reason (the test goes on, so that one run shows every failure), a private folder $work
# removed at the end, and passed() for the exit status.
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed() {
    [ "$failures" -eq 0 ]
}
