#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
"""kestrana-cli peaks RUN --from KM --to KM [--param NAME] [--limit VALUE], written plainly from the
rules in Python, for comparison of speed only (tools/bench-cli.sh). Each peak line with its kilometre
line makes a record; the first record's count of numbers is the width of every record; each record
gives one row per peak pair; over the range, walked in the run's direction, a kilometre is listed
when the first peak of the parameter is above the limit, with every peak above it."""

import sys
from collections import defaultdict

from runfile import numbers_of, pairs_of, pattern_zeros, records_of

PARAMETERS = {"UN2L": (6, 15), "UN2R": (7, 15), "AL2L": (8, 10), "AL2R": (9, 10), "GAUGE": (3, 6),
              "TW1": (2, 10), "UN1L": (0, 10), "UN1R": (1, 10), "AL1L": (4, 6), "AL1R": (5, 6)}


def option(name, default=None):
    return sys.argv[sys.argv.index(name) + 1] if name in sys.argv else default


def main():
    with open(sys.argv[1], "rb") as run:
        _, _, pairs = pairs_of(run.read(), b"67")
    width = len(numbers_of(pairs[0][0])) + len(numbers_of(pairs[0][1])) if pairs else 0
    # (km from, parameter) -> [(km to, location, value)] in run-file order
    rows = defaultdict(list)
    first = last = None
    for record in records_of(pairs, width) if pairs else []:
        for m in range(1, (width - 6) // 2 + 1 if width >= 8 else 1):
            rows[(record[1], record[4])].append((record[2], record[2 * m + 4], record[2 * m + 3]))
            first = record[1] if first is None else first
            last = record[2]
    direction = 1 if last is not None and last > first else -1

    name = option("--param", "UN2L")
    code, limit = PARAMETERS[name]
    limit_text = option("--limit", str(limit))
    limit = int(limit_text)
    a, b = int(option("--from")), int(option("--to"))
    lo, hi = min(a, b), max(a, b)
    columns = max(0, min(10, round((width - 6) / 2)))
    listed = []
    peaks = 0
    for km in range(lo, hi) if direction > 0 else range(hi, lo, -1):
        found = rows.get((km, code), [])[: max(columns, 1)]
        if not found or found[0][2] <= limit:
            continue
        row = pattern_zeros(km, 4) + "  " + pattern_zeros(found[0][0], 4)
        for j in range(1, 9):
            shown = j <= columns and j - 1 < len(found) and found[j - 1][2] > limit
            peaks += 1 if shown else 0
            row += "    " + (pattern_zeros(found[j - 1][1], 4) if shown else "")
            row += "   " if j == 8 else "  "
            row += pattern_zeros(found[j - 1][2], 2) if shown else ""
        listed.append(row)
    share = "%05.2f" % (len(listed) * 100 / (hi - lo))
    lines = [" Number of Kms having %s peaks more than %s mm = %d ( %s%% )" % (name, limit_text, len(listed), share),
             " Total number of %s peaks more than %s mm = %d" % (name, limit_text, peaks)]
    sys.stdout.write("".join(line + "\n" for line in lines + listed))


main()
