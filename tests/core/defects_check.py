#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
"""Defect tracking in the core against defects_reference.py, on a few hundred random series.

The series are drawn so that the boundary cases turn up often: exceedances exactly the tolerance
away, several exceedances of one run near one defect, defects that wander over a kilometre boundary
in either direction, peaks at one position, runs without peaks and kilometres or parameters missing
from some runs (gaps between covering runs), runs on the same day, limits given by name.

  defects_check.py DEFECTS_DRIVER [SEED]
"""

import os
import random
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import defects_reference as reference  # noqa: E402

TRACKED = [0, 1, 2, 3, 6, 9]
UNTRACKED = [10, 12]  # no name / VACC, tracked only when a limit is given by name


def describe_series(rng):
    direction = rng.choice([1, -1])
    tolerance = rng.choice([0, 1, 2, 5, 10, 10, 10, 20])
    settings = []
    if rng.random() < 0.3:
        settings.append("UN2L=%d" % rng.randint(0, 18))
    if rng.random() < 0.3:
        settings.append("VACC=%d" % rng.randint(0, 6))
    limits = dict(reference.DEFAULT_LIMITS)
    for setting in settings:
        name, value = setting.split("=")
        limits[reference.CODES[name]] = int(value)
    first_km = rng.choice([120, 0, -2, 32760 if direction < 0 else 32764])
    kms = [first_km + direction * i for i in range(rng.randint(1, 3))]
    codes = rng.sample(TRACKED, rng.randint(1, 3)) + rng.sample(UNTRACKED, rng.randint(0, 1))

    # Places where defects sit: positions in metres, a few per parameter, some next to a km boundary
    # and some on top of each other. Each run moves them a little; a step of exactly the tolerance,
    # or one metre more, is drawn often.
    places = {}
    for code in codes:
        spots = []
        for _ in range(rng.randint(1, 4)):
            km = rng.choice(kms)
            location = rng.choice([0, 2, 5, 350, 600, 995, 998, 1000, rng.randint(0, 1000)])
            spots.append(1000 * km + direction * location)
        if rng.random() < 0.3:
            spots.append(spots[0] + rng.choice([0, tolerance, -tolerance, 2 * tolerance]))
        places[code] = spots
    steps = [0, 1, -1, tolerance, -tolerance, tolerance + 1, -tolerance - 1, 2, tolerance // 2]

    lines = ["series %d %d %s" % (direction, tolerance, " ".join(settings))]
    day = rng.randint(15000, 21000)
    for _ in range(rng.randint(1, 6)):
        day += rng.choice([0, 0, 30, 91, 92, 365, 1000])
        number = rng.choice("1234,\"9")
        if rng.random() < 0.1:
            lines.append("run %d %s nopeaks" % (day, number))
            continue
        lines.append("run %d %s" % (day, number))
        for code in codes:
            places[code] = [p + rng.choice(steps) for p in places[code]]
        pairs_per_line = rng.randint(1, 4)
        for km in kms:
            if rng.random() < 0.12:
                continue  # the run lacks this kilometre
            lines.append("60,%d,%d," % (km, km + direction))
            for code in codes:
                if rng.random() < 0.1:
                    continue  # no peak line of this parameter here
                limit = limits.get(code, 5)
                pairs = []
                for position in places[code]:
                    location = (position - 1000 * km) * direction
                    if -4 <= location <= 1004 and rng.random() < 0.85:
                        size = max(0, limit + rng.choice([-1, 0, 1, 1, 2, 3, 6]))
                        pairs.append((size * rng.choice([1, -1]), location))
                rng.shuffle(pairs)
                pairs = pairs[:pairs_per_line]
                while len(pairs) < pairs_per_line:
                    pairs.append((rng.randint(-limit, limit), rng.randint(0, 1000)))
                numbers = [67, code] + [n for pair in pairs for n in pair] + [len(pairs)]
                lines.append(",".join(str(n) for n in numbers))
            for block in range(1, 6):
                if rng.random() < 0.8:
                    lines.append("tgi %d %d %d" % (km, block, rng.choice([0, rng.randint(1, 120)])))
    return lines, kms, codes


def queries_for(rng, lines, kms, codes):
    # The reference's own list tells which defects exist, for the one-defect queries.
    listed = reference.compute("\n".join(lines + ["query defects"])).splitlines()[2:]
    queries = ["query defects"]
    for _ in range(3):
        words = ["query", "defects"]
        if rng.random() < 0.5:
            low, high = rng.choice(kms), rng.choice(kms) + rng.choice([0, 1, -1])
            words += ["from=%d" % high, "to=%d" % low] if rng.random() < 0.5 else ["from=%d" % low]
        for code in rng.sample(codes, rng.randint(0, len(codes))):
            words.append("param=%s" % reference.NAMES.get(code, "UN1L"))
        if rng.random() < 0.5:
            words.append("status=" + ",".join(rng.sample(reference.STATUSES, rng.randint(1, 3))))
        if rng.random() < 0.4:
            words.append("tgi=%d" % rng.choice([0, 1, 36, 81]))
        queries.append(" ".join(words))
    for row in rng.sample(listed, min(3, len(listed))):
        fields = row.split(",")
        queries.append("query defect %s %s %s" % (fields[0], fields[1], fields[2]))
    queries.append("query defect UN1L %d 1001" % kms[0])
    return queries


def main():
    driver = sys.argv[1]
    seed = int(sys.argv[2]) if len(sys.argv) > 2 else 2024
    rng = random.Random(seed)
    description = []
    for _ in range(300):
        lines, kms, codes = describe_series(rng)
        description += lines + queries_for(rng, lines, kms, codes)
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "series.txt")
        with open(path, "w", newline="") as f:
            f.write("\n".join(description) + "\n")
        actual = subprocess.run([driver, path], capture_output=True, text=True)
        if actual.returncode != 0:
            print("defects_driver failed (%d): %s" % (actual.returncode, actual.stderr))
            return 1
        with open(path, newline="") as f:
            expected = reference.compute(f.read())
    queries = expected.count("\nquery ") + 1
    rows = sum(1 for line in expected.splitlines() if not line.startswith(("query", "parameter,", "date,")))
    if actual.stdout == expected:
        print("%d queries agree (%d rows)" % (queries, rows))
        return 0
    expected_lines, actual_lines = expected.splitlines(), actual.stdout.splitlines()
    last_query = ""
    for i, line in enumerate(expected_lines):
        if line.startswith("query"):
            last_query = line
        if i >= len(actual_lines) or actual_lines[i] != line:
            print("first difference after %r at output line %d:" % (last_query, i + 1))
            print("  expected %s" % line)
            print("  actual   %s" % (actual_lines[i] if i < len(actual_lines) else "(nothing)"))
            break
    else:
        print("the driver printed more than the reference")
    return 1


if __name__ == "__main__":
    sys.exit(main())
