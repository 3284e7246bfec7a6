#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
# The type of run files: shared-mime-info takes the package's definition, gives *.run (any case) that
# type, and the desktop entry and the metainfo name the same type.
#
#   mime_type_test.sh MIME_XML DESKTOP_ENTRY METAINFO
set -uo pipefail
mime=$1 desktop=$2 metainfo=$3
# shellcheck source=tests/packaging/test_support.sh
source "$(dirname "$0")/test_support.sh"

type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$mime")
[ -n "$type" ] || fail "no type in $mime"
mkdir -p "$work/mime/packages"
cp "$mime" "$work/mime/packages/"
# update-mime-database refuses a definition it cannot read; its warnings count as failures too.
if ! XDG_DATA_HOME=$work update-mime-database "$work/mime" >"$work/log" 2>&1 || [ -s "$work/log" ]; then
    fail "update-mime-database: $(cat "$work/log")"
fi
grep -qx "50:$type:\*.run" "$work/mime/globs2" 2>/dev/null || fail "*.run is not given $type: $(cat "$work/mime/globs2")"
grep -q "<sub-class-of type=\"text/plain\"/>" "$mime" || fail "$type is not a kind of text/plain"

grep -qx "MimeType=$type;" "$desktop" || fail "the desktop entry does not take $type"
grep -qE '^Exec=kestrana %F$' "$desktop" || fail "the desktop entry does not pass the files (%F)"
grep -q "<mediatype>$type</mediatype>" "$metainfo" || fail "the metainfo does not provide $type"

passed
