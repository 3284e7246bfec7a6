#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
# tools/check-docs.sh finds each kind of gap: a folder of src/ the architecture notes do not name, a
# command and an option missing from kestrana-cli(1), an option missing from kestrana(1); and it names
# them, so that the fix is plain.
#
#   check_docs_test.sh BUILD_DIR
set -uo pipefail
build=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
check=$root/tools/check-docs.sh
# shellcheck source=tests/packaging/test_support.sh
source "$(dirname "$0")/test_support.sh"

# expect_gap DESCRIPTION EXPECTED-TEXT OPTIONS...: the check fails and says EXPECTED-TEXT.
expect_gap() {
    local what=$1 expected=$2
    shift 2
    if bash "$check" --build "$build" "$@" >"$work/out" 2>&1; then
        fail "$what: the check passed"
    elif ! grep -qF -- "$expected" "$work/out"; then
        fail "$what: the check did not say \"$expected\": $(cat "$work/out")"
    fi
}

# A new folder under src/ that the notes do not name.
cp -r "$root/src" "$work/src"
mkdir -p "$work/src/core/newpart"
expect_gap "a new folder" "does not name src/core/newpart/" --src "$work/src"

# The notes lose the row of a folder.
grep -vF '`src/core/peaks/`' "$root/docs/ARCHITECTURE.md" >"$work/ARCHITECTURE.md"
expect_gap "a lost row" "does not name src/core/peaks/" --architecture "$work/ARCHITECTURE.md"

# kestrana-cli(1) without the section of the peaks command (its synopsis and its options).
awk '/^\.SS "peaks /{skip=1; next} /^\.(SS|SH) /{skip=0} !skip' "$build/src/cli/kestrana-cli.1" |
    grep -v '^kestrana\\-cli$\|^peaks ' >"$work/cli.1"
expect_gap "a lost command" "kestrana-cli(1) lacks the command peaks RUN" --cli-page "$work/cli.1"
expect_gap "a lost option" "kestrana-cli(1) lacks the option --limit VALUE of peaks" --cli-page "$work/cli.1"

# kestrana(1) without --version.
if [ -f "$build/packaging/kestrana.1" ]; then
    sed 's/\\-\\-version/(gone)/g' "$build/packaging/kestrana.1" >"$work/kestrana.1"
    expect_gap "a lost program option" "kestrana(1) lacks the option --version" --gui-page "$work/kestrana.1"
fi

# And the documents as they are pass.
bash "$check" --build "$build" >"$work/out" 2>&1 || fail "the documents as they are: $(cat "$work/out")"
passed
