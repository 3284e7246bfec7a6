#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
# `kestrana --help` and `kestrana --version` answer on the terminal with no display at all, and a word
# after "--" is not taken for either.
#
#   program_help_test.sh KESTRANA VERSION
set -uo pipefail
program=$1 version=$2
# shellcheck source=tests/packaging/test_support.sh
source "$(dirname "$0")/test_support.sh"

# No display of any kind, and no home folder to prepare: the answers must not need either.
run() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM KESTRANA_HOME="$work/home" \
        "$program" "$@" >"$work/out" 2>"$work/err"
}

for words in "--help" "-h" "-platform xcb --help" "--version" "-style fusion --version"; do
    # shellcheck disable=SC2086 # the words are separate arguments
    run $words
    status=$?
    [ "$status" -eq 0 ] || fail "kestrana $words: status $status: $(cat "$work/err")"
    [ -s "$work/err" ] && fail "kestrana $words wrote to standard error: $(cat "$work/err")"
    case $words in
    *--version) [ "$(cat "$work/out")" = "kestrana $version" ] || fail "kestrana $words printed: $(cat "$work/out")" ;;
    *)
        grep -q "^usage: kestrana" "$work/out" || fail "kestrana $words printed no usage"
        for screen in "index analyser" "run comparator" "peak analyser" "track history"; do
            tr '\n' ' ' <"$work/out" | grep -q "$screen" || fail "kestrana $words does not name the $screen"
        done
        ;;
    esac
done
[ -e "$work/home" ] && fail "the help prepared a home folder"

# Output that cannot be written is not a success.
if [ -w /dev/full ]; then
    env -u DISPLAY -u WAYLAND_DISPLAY "$program" --version >/dev/full 2>/dev/null && fail "kestrana --version >/dev/full succeeded"
fi

# After "--" the program starts as usual: on the offscreen platform it keeps running (its main menu is
# up) until it is stopped, and prints no help.
QT_QPA_PLATFORM=offscreen KESTRANA_HOME="$work/home" timeout 5 "$program" -- --help >"$work/out" 2>/dev/null
status=$?
[ "$status" -eq 124 ] || fail "kestrana -- --help ended by itself (status $status)"
[ -s "$work/out" ] && fail "kestrana -- --help printed: $(head -3 "$work/out")"

passed
