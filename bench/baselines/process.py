#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
"""kestrana-cli process RUN [--output FILE], written plainly from the rules in Python, for comparison of
speed only (tools/bench-cli.sh). The block lines, each with its kilometre line, are read as one stream
of numbers, 26 to a row; the five lines are printed and the SD output file is written when asked."""

import sys

from runfile import pairs_of, plain_int, records_of


def decimal(value, divisor):
    return plain_int(value // divisor) if value % divisor == 0 else repr(value / divisor)


COLUMNS = [(2, 1), (3, 1), (5, 1)] + [(f, 10) for f in range(6, 17)] + [(17, 1), (18, 1), (20, 100), (21, 100)]
COLUMNS += [(f, 1) for f in range(22, 26)]
HEADER = ",".join('"%s "' % name for name in "km km BK U1L U1R TW1 G A1L A1R U2L U2R A2L A2R TW2 TGI SPD RIV RIL TGU TGW TGG TGL".split())


def main():
    path = sys.argv[1]
    output = sys.argv[sys.argv.index("--output") + 1] if "--output" in sys.argv else None
    with open(path, "rb") as run:
        header, section, pairs = pairs_of(run.read(), b"68")
    if not pairs or len(pairs) > 32767:
        sys.exit(" Could not open file. Please type file name correctly.")
    rows = records_of(pairs, 26)
    if len(rows) != len(pairs):
        sys.exit(" Could not open file. Please type file name correctly.")
    if output:
        lines = [HEADER] + [",".join(decimal(row[f - 1], d) for f, d in COLUMNS) for row in rows]
        with open(output, "w", newline="") as out:
            out.write("".join(line + "\r\n" for line in lines))
    out = sys.stdout.buffer
    out.write(b"Date of Recording: " + header[5:11] + b"\n")
    out.write(b"Run Number: " + header[3:4] + b"\n")
    out.write(b"Section: " + section[14:44] + b"\n")
    out.write(b"Recording Starts at KM: %d\n" % rows[0][1])
    out.write(b"Recording Ends at KM: %d\n" % rows[-1][2])


main()
