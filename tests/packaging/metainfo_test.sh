#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
# The AppStream metainfo as software centres read it: valid under appstreamcli's pedantic rules (only
# the note on the capitals of the reverse-DNS id is accepted: the desktop entry's file name must
# match the id), and complete: licence, home page, screenshot, developer, content rating, and the
# version being built among its releases.
#
#   metainfo_test.sh METAINFO VERSION
set -uo pipefail
metainfo=$1 version=$2
# shellcheck source=tests/packaging/test_support.sh
source "$(dirname "$0")/test_support.sh"

notes=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1)
status=$?
[ "$status" -eq 0 ] || fail "appstreamcli validate: status $status"
grep '^[EWIP]:' <<<"$notes" | grep -v 'cid-contains-uppercase-letter' | sed 's/^/FAIL: /'
grep '^[EWIP]:' <<<"$notes" | grep -qv 'cid-contains-uppercase-letter' && failures=$((failures + 1))

for element in '<project_license>GPL-3.0-or-later</project_license>' '<url type="homepage">https://' \
    '<screenshot type="default">' '<image type="source"' '<developer_name>' '<content_rating type="oars-1.1"' \
    "<release version=\"$version\"" '<launchable type="desktop-id">org.kestrana.Kestrana.desktop</launchable>'; do
    grep -qF -- "$element" "$metainfo" || fail "the metainfo lacks $element"
done
# Every screen of the main menu is named in the description.
for screen in "index analyser" "run comparator" "peak analyser" "track history"; do
    tr '\n' ' ' <"$metainfo" | grep -q "$screen" || fail "the description does not name the $screen"
done
passed
