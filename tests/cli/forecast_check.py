#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
"""An independent check of `kestrana-cli forecast` and `kestrana-cli history`.

Written from the definitions of the track-history terms alone, not from the program: it writes its
own run files with values it chooses (so it needs no reader of its own), imports them with the
command line, works out the expected CSV with exact fractions and compares byte for byte.

  forecast_check.py KESTRANA_CLI
"""

import datetime
import math
import os
import random
import subprocess
import sys
import tempfile
from fractions import Fraction

EPOCH = datetime.date(1970, 1, 1).toordinal()
FIRST_WRITABLE = datetime.date(1, 1, 1).toordinal() - EPOCH
LAST_WRITABLE = datetime.date(9999, 12, 31).toordinal() - EPOCH
INDICES = ["TGI", "TGIU", "TGIW", "TGIG", "TGIL"]
STATUS_ORDER = {"below": 0, "crossing": 1, "stable": 2, "too few runs": 3}


def day_number(date):
    return date.toordinal() - EPOCH


def iso(day):
    return datetime.date.fromordinal(day + EPOCH).isoformat()


# ---------------------------------------------------------------- runs written by this script


def run_text(line, direction, date, run_number, blocks):
    """blocks: list of (km, block, [TGI, TGIU, TGIW, TGIG, TGIL]) in the order the car meets them."""
    out = ["95,%s,%s,0815,TRC" % (run_number, date.strftime("%d%m%y")),
           "91,0034,NR,KM," + line.ljust(30)[:30] + ",END"]
    current_km = None
    for km, block, values in blocks:
        if km != current_km:
            out.append("60,%d,%d," % (km, km + direction))
            current_km = km
        tgi, tgiu, tgiw, tgig, tgil = values
        sds = ",".join(str(10 + (km * 7 + block * 3 + i) % 50) for i in range(11))
        out.append("68,%d,%s,%d,80,1,150,140,%d,%d,%d,%d,0" % (block, sds, tgi, tgiu, tgiw, tgig, tgil))
    return "\r\n".join(out) + "\r\n"


class Scenario:
    def __init__(self, seed):
        rng = random.Random(seed)
        self.runs = []  # dicts: line, direction, day, number, values {(km, block): [5 values]}
        for line, direction, first_km in (("CHECK LINE A", 1, 100), ("CHECK, LINE \"B\"", -1, 260)):
            kms = [first_km + direction * i for i in range(12)]
            state = {(km, b): [rng.randint(45, 95) for _ in INDICES] for km in kms for b in range(1, 6)}
            # Most blocks wear; a few improve or stay, so that every status turns up.
            drift = {key: rng.choice([(0, 5), (0, 5), (0, 5), (-2, 1), (0, 0)]) for key in state}
            dates = sorted(rng.sample(range(day_number(datetime.date(1985, 1, 1)),
                                            day_number(datetime.date(2035, 1, 1))), 22))
            # Some runs on the same day as the run before, with another run number.
            dates += rng.sample(dates, 4)
            used_numbers = {}
            for day in sorted(dates):
                numbers = used_numbers.setdefault(day, [])
                number = rng.choice([c for c in "123456789" if c not in numbers])
                numbers.append(number)
                values = {}
                for key in state:
                    if rng.random() < 0.03:
                        continue  # the block is missing from this run
                    current = state[key]
                    for i in range(5):
                        roll = rng.random()
                        if roll < 0.07:
                            current[i] += rng.randint(12, 40)  # maintained (or nearly so)
                        else:
                            current[i] -= rng.randint(*drift[key])
                        current[i] = max(-20, min(120, current[i]))
                    recorded = [0 if rng.random() < 0.05 else v for v in current]
                    values[key] = recorded
                self.runs.append(dict(line=line, direction=direction, day=day, number=number, values=values))
            # A block recorded once only.
            self.runs[-1]["values"][(kms[-1] + direction, 1)] = [50, 50, 50, 50, 50]
        # Rates that land exactly on a half (365.25 / 50 = 7.305) and crossings on a whole day, which
        # only exact arithmetic rounds as defined.
        first = day_number(datetime.date(2020, 1, 1)) + seed
        for day, values in ((first, {(1, 1): [41] * 5, (1, 2): [40] * 5, (1, 3): [50] * 5}),
                            (first + 50, {(1, 1): [40] * 5, (1, 2): [41] * 5, (1, 3): [40] * 5})):
            self.runs.append(dict(line="CHECK LINE C", direction=1, day=day, number="1", values=values))

    def write(self, folder):
        paths = []
        for i, run in enumerate(self.runs):
            keys = sorted(run["values"], key=lambda k: (k[0] * run["direction"], k[1]))
            blocks = [(km, b, run["values"][(km, b)]) for km, b in keys]
            date = datetime.date.fromordinal(run["day"] + EPOCH)
            path = os.path.join(folder, "run%03d.run" % i)
            with open(path, "w", newline="") as f:
                f.write(run_text(run["line"], run["direction"], date, run["number"], blocks))
            paths.append(path)
        return paths

    # ------------------------------------------------------------ the definitions

    def ordered_runs(self, line, direction):
        runs = [r for r in self.runs if r["line"] == line and r["direction"] == direction]
        return sorted(runs, key=lambda r: (r["day"], r["number"]))

    def points(self, line, direction, key, index):
        result = []
        for run in self.ordered_runs(line, direction):
            if key in run["values"] and run["values"][key][index] != 0:
                result.append((run["day"], run["number"], run["values"][key][index]))
        return result


def segments(values, jump):
    numbers, current = [], 1
    for i, value in enumerate(values):
        if i > 0 and value - values[i - 1] >= jump:
            current += 1
        numbers.append(current)
    return numbers


def round_half_away(value, places):
    scaled = abs(value) * 10 ** places
    whole = math.floor(scaled + Fraction(1, 2))
    text = "%d.%0*d" % (whole // 10 ** places, places, whole % 10 ** places)
    return "-" + text if value < 0 and whole != 0 else text


def forecast_row(points, threshold, jump):
    numbers = segments([v for _, _, v in points], jump)
    current = [p for p, n in zip(points, numbers) if n == numbers[-1]]
    days = [Fraction(d) for d, _, _ in current]
    values = [Fraction(v) for _, _, v in current]
    latest_day, _, latest_value = current[-1]
    rate, crossing, slope = "", "", None
    if len(set(days)) >= 2:
        mean_day, mean_value = sum(days) / len(days), sum(values) / len(values)
        slope = (sum((d - mean_day) * (v - mean_value) for d, v in zip(days, values)) /
                 sum((d - mean_day) ** 2 for d in days))
        rate = round_half_away(slope * Fraction(36525, 100), 2)
    if latest_value < threshold:
        status = "below"
    elif slope is None:
        status = "too few runs"
    elif slope < 0:
        status = "crossing"
        day = math.floor(mean_day + (threshold - mean_value) / slope)
        crossing_day = min(max(day, FIRST_WRITABLE), LAST_WRITABLE)
        crossing = iso(crossing_day)
    else:
        status = "stable"
    return dict(points=len(current), latest_day=latest_day, latest_value=latest_value, rate=rate,
                crossing=crossing, status=status)


def csv_field(text):
    if any(c in text for c in ',"\r\n'):
        return '"' + text.replace('"', '""') + '"'
    return text


def expected_forecast(scenario, line, direction, low, high, index, threshold, jump):
    keys = set()
    for run in scenario.ordered_runs(line, direction):
        keys.update(k for k, v in run["values"].items() if low <= k[0] <= high and v[index] != 0)
    rows = []
    for key in keys:
        row = forecast_row(scenario.points(line, direction, key, index), threshold, jump)
        rows.append((key, row))
    rows.sort(key=lambda kr: (STATUS_ORDER[kr[1]["status"]], kr[1]["crossing"] or "", kr[0][0] * direction,
                              kr[0][1]))
    lines = ["km,block,points,latest_date,latest_value,rate_per_year,crossing_date,status"]
    for (km, block), row in rows:
        lines.append("%d,%d,%d,%s,%d,%s,%s,%s" % (km, block, row["points"], iso(row["latest_day"]),
                                                  row["latest_value"], row["rate"], row["crossing"],
                                                  row["status"]))
    return "".join(l + "\n" for l in lines)


def expected_history(scenario, line, direction, key, index, jump):
    points = scenario.points(line, direction, key, index)
    numbers = segments([v for _, _, v in points], jump)
    lines = ["date,run,value,segment"]
    lines += ["%s,%s,%d,%d" % (iso(d), n, v, s) for (d, n, v), s in zip(points, numbers)]
    return "".join(l + "\n" for l in lines)


# ---------------------------------------------------------------- the comparison


def run_cli(cli, *args):
    result = subprocess.run([cli] + list(args), capture_output=True, text=True)
    if result.returncode != 0:
        raise SystemExit("kestrana-cli %s failed (%d): %s" % (" ".join(args), result.returncode, result.stderr))
    return result.stdout


def main():
    cli = sys.argv[1]
    failures, checks = 0, 0
    for seed in (1, 2, 3):
        scenario = Scenario(seed)
        with tempfile.TemporaryDirectory() as folder:
            library = os.path.join(folder, "library.sqlite")
            run_cli(cli, "library", "import", "--library", library, *scenario.write(folder))
            for line, direction, low, high in (("CHECK LINE A", 1, -32768, 32767), ("CHECK LINE A", 1, 103, 106),
                                               ("CHECK, LINE \"B\"", -1, -32768, 32767),
                                               ("CHECK, LINE \"B\"", -1, 252, 255),
                                               ("CHECK LINE C", 1, -32768, 32767)):
                for index, threshold, jump in ((0, 36, 15), (1, 50, 15), (4, 36, 5), (2, 20, 30), (3, -10, 1)):
                    args = ["forecast", "--library", library, "--line", line, "--direction=%d" % direction,
                            "--index", INDICES[index], "--below=%d" % threshold, "--jump", str(jump)]
                    if low != -32768:
                        args += ["--from", str(high), "--to", str(low)]  # either order
                    expected = expected_forecast(scenario, line, direction, low, high, index, threshold, jump)
                    actual = run_cli(cli, *args)
                    checks += 1
                    if actual != expected:
                        failures += 1
                        print("forecast differs: seed %d %s" % (seed, " ".join(args)))
                        for e, a in zip(expected.splitlines(), actual.splitlines()):
                            if e != a:
                                print("  expected %s\n  actual   %s" % (e, a))
                                break
            for key in ((101, 1), (105, 3), (110, 5), (112, 1)):
                for index, jump in ((0, 15), (2, 8)):
                    args = ["history", "--library", library, "--line", "CHECK LINE A", "--direction", "1",
                            "--km", str(key[0]), "--block", str(key[1]), "--index", INDICES[index],
                            "--jump", str(jump)]
                    checks += 1
                    if run_cli(cli, *args) != expected_history(scenario, "CHECK LINE A", 1, key, index, jump):
                        failures += 1
                        print("history differs: seed %d %s" % (seed, " ".join(args)))
    print("%d of %d comparisons agree" % (checks - failures, checks))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
