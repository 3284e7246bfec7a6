#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
"""kestrana-cli compare RUN0 RUN1 [RUN2 [RUN3]] --from KM --to KM, written plainly from the rules in
Python, for comparison of speed only (tools/bench-cli.sh). Each run's block lines, with their
kilometre lines, are read as one stream of numbers, 26 to a row; the TGI of each (km, next km, block)
is the first row's; the listing walks the range in the runs' direction, blocks 1 to 5 of every km,
"NA" where a run has no such block, in print zones of 14 characters."""

import sys

from runfile import join_zones, pairs_of, pattern_zeros, records_of


def main():
    words = sys.argv[1:]
    lo_hi = [int(words[words.index("--from") + 1]), int(words[words.index("--to") + 1])]
    runs = [word for i, word in enumerate(words) if not word.startswith("--") and (i == 0 or not words[i - 1].startswith("--"))]
    tables, dates, section, direction = [], [], b"", 1
    for slot, path in enumerate(runs):
        with open(path, "rb") as run:
            header, section_line, pairs = pairs_of(run.read(), b"68")
        rows = records_of(pairs, 26)
        cells = {}
        for row in rows:
            cells.setdefault((row[1], row[2], row[4]), row[16])
        tables.append(cells)
        dates.append(header[5:11].decode("latin-1"))
        if slot == 0:
            section = section_line[14:44].strip(b" ").decode("latin-1")
            direction = rows[0][2] - rows[0][1]
    lo, hi = min(lo_hi), max(lo_hi)
    kms = range(lo, hi) if direction == 1 else range(hi, lo, -1)
    lines = [section, join_zones(["From  -  To       Blk"] + dates)]
    for km in kms:
        for block in range(1, 6):
            label = pattern_zeros(km, 4) + "    -   " + pattern_zeros(km + direction, 4) + "        " + str(block)
            values = [str(cells[(km, km + direction, block)]) if (km, km + direction, block) in cells else "NA"
                      for cells in tables]
            lines.append(join_zones([label] + values))
    sys.stdout.write("".join(line + "\n" for line in lines))


main()
