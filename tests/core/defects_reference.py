#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
"""Defect tracking worked out from its definitions alone, with exact fractions and no cleverness.

Reads the same plain-text description of series, runs, peaks and queries as tests/drivers/defects_driver
and prints the same output, so that the two can be compared byte for byte (defects_check.py does).

  defects_reference.py FILE

The description, one item a line:
  series DIRECTION TOLERANCE [NAME=LIMIT]...
  run DAY RUN_NUMBER [nopeaks]          (DAY: days since 1970-01-01; runs come in run order)
  60,KM_FROM,KM_TO,                     a kilometre line
  67,CODE,VALUE,LOCATION,...,COUNT      a peak line (every peak line of a run has as many pairs)
  tgi KM BLOCK VALUE
  query defects [from=KM] [to=KM] [param=NAME]... [status=S[,S...]] [tgi=X]
  query defect NAME KM LOCATION
"""

import datetime
import math
import sys
from fractions import Fraction

NAMES = {0: "UN1L", 1: "UN1R", 2: "TW1", 3: "GAUGE", 4: "AL1L", 5: "AL1R", 6: "UN2L", 7: "UN2R",
         8: "AL2L", 9: "AL2R", 12: "VACC", 13: "LACC"}
CODES = {name: code for code, name in NAMES.items()}
DEFAULT_LIMITS = {CODES["UN1L"]: 10, CODES["UN1R"]: 10, CODES["TW1"]: 10, CODES["GAUGE"]: 6,
                  CODES["AL1L"]: 6, CODES["AL1R"]: 6, CODES["UN2L"]: 15, CODES["UN2R"]: 15,
                  CODES["AL2L"]: 10, CODES["AL2R"]: 10}
STATUSES = ["repeat", "new", "recurring", "gone"]  # the order of the list
HEADER = ("parameter,km,location,status,first_date,latest_date,runs,latest_value,max_value,"
          "growth_per_year,block,tgi")
EPOCH = datetime.date(1970, 1, 1).toordinal()


def iso(day):
    return datetime.date.fromordinal(day + EPOCH).isoformat()


def csv_field(text):
    text = str(text)
    if any(c in text for c in ',"\r\n'):
        return '"' + text.replace('"', '""') + '"'
    return text


def csv_line(fields):
    return ",".join(csv_field(f) for f in fields) + "\n"


def two_decimals_half_away(value):
    hundredths = math.floor(abs(value) * 100 + Fraction(1, 2))
    text = "%d.%02d" % (hundredths // 100, hundredths % 100)
    return "-" + text if value < 0 and hundredths != 0 else text


class Peak:
    def __init__(self, km, code, location, value, order):
        self.km, self.code, self.location, self.value, self.order = km, code, location, value, order


class Run:
    def __init__(self, day, number, has_peaks):
        self.day, self.number = day, number
        self.peaks = [] if has_peaks else None
        self.km_from = None
        self.tgi = {}


class Defect:
    def __init__(self, code, number, first):
        self.code, self.number, self.exceedances = code, number, [first]  # (run, km, location, value)


class Series:
    def __init__(self, direction, tolerance, limits):
        self.direction, self.tolerance, self.limits = direction, tolerance, limits
        self.runs = []
        self.defects = None

    def position(self, km, location):
        return 1000 * km + self.direction * location

    # ------------------------------------------------------------ matching, run by run

    def match(self):
        defects = []
        for r, run in enumerate(self.runs):
            if run.peaks is None:
                continue
            exceedances = [p for p in run.peaks if p.code in self.limits and abs(p.value) > self.limits[p.code]]
            pairs = []
            for e in exceedances:
                for d in defects:
                    if d.code != e.code:
                        continue
                    _, km, location, _ = d.exceedances[-1]
                    distance = abs(self.position(e.km, e.location) - self.position(km, location))
                    if distance <= self.tolerance:
                        pairs.append((distance, d.number, self.position(e.km, e.location), e.order, d, e))
            pairs.sort(key=lambda p: p[:4])
            taken_defects, taken_exceedances = set(), set()
            for _, _, _, _, d, e in pairs:
                if d.number in taken_defects or e.order in taken_exceedances:
                    continue
                taken_defects.add(d.number)
                taken_exceedances.add(e.order)
                d.exceedances.append((r, e.km, e.location, e.value))
            left = [e for e in exceedances if e.order not in taken_exceedances]
            left.sort(key=lambda e: (self.position(e.km, e.location), e.order))
            for e in left:
                defects.append(Defect(e.code, len(defects), (r, e.km, e.location, e.value)))
        self.defects = defects

    # ------------------------------------------------------------ what a defect's history says

    def status(self, d):
        latest_km = d.exceedances[-1][1]
        covering = [r for r, run in enumerate(self.runs) if run.peaks is not None and
                    any(p.code == d.code and p.km == latest_km for p in run.peaks)]
        last = covering[-1]
        previous = covering[-2] if len(covering) >= 2 else None
        exceeded = {e[0] for e in d.exceedances}
        if last not in exceeded:
            return "gone"
        if not any(r < last for r in exceeded):
            return "new"
        if previous is not None and previous in exceeded:
            return "repeat"
        return "recurring"

    def growth(self, d):
        days = [Fraction(self.runs[e[0]].day) for e in d.exceedances]
        sizes = [Fraction(abs(e[3])) for e in d.exceedances]
        if len(set(days)) < 2:
            return ""
        mean_day, mean_size = sum(days) / len(days), sum(sizes) / len(sizes)
        slope = (sum((x - mean_day) * (y - mean_size) for x, y in zip(days, sizes)) /
                 sum((x - mean_day) ** 2 for x in days))
        return two_decimals_half_away(slope * Fraction(36525, 100))

    def block(self, d):
        location = d.exceedances[-1][2]
        return 1 if location < 0 else min(5, location // 200 + 1)

    def tgi(self, d):
        run, km, _, _ = d.exceedances[-1]
        return self.runs[run].tgi.get((km, self.block(d)))

    def row(self, d):
        run, km, location, value = d.exceedances[-1]
        tgi = self.tgi(d)
        return [NAMES[d.code], km, location, self.status(d), iso(self.runs[d.exceedances[0][0]].day),
                iso(self.runs[run].day), len(d.exceedances), value, max(abs(e[3]) for e in d.exceedances),
                self.growth(d), self.block(d), "" if tgi is None else tgi]

    # ------------------------------------------------------------ the queries

    def defects_csv(self, low, high, codes, statuses, tgi_at_least):
        kept = []
        for d in self.defects:
            _, km, location, value = d.exceedances[-1]
            tgi = self.tgi(d)
            if (low <= km <= high and (not codes or d.code in codes) and
                    (not statuses or self.status(d) in statuses) and
                    (tgi_at_least is None or (tgi is not None and tgi >= tgi_at_least))):
                kept.append(d)
        kept.sort(key=lambda d: (STATUSES.index(self.status(d)),
                                 -(abs(d.exceedances[-1][3]) - self.limits[d.code]),
                                 self.direction * self.position(d.exceedances[-1][1], d.exceedances[-1][2]),
                                 d.code, d.number))
        return HEADER + "\n" + "".join(csv_line(self.row(d)) for d in kept)

    def defect_csv(self, code, km, location):
        found = [d for d in self.defects
                 if d.code == code and d.exceedances[-1][1] == km and d.exceedances[-1][2] == location]
        if not found:
            return "refused: No defect of %s has its latest exceedance at km %d, location %d.\n" % (
                NAMES[code], km, location)
        d = min(found, key=lambda d: d.number)
        return "date,run,km,location,value\n" + "".join(
            csv_line([iso(self.runs[r].day), self.runs[r].number, k, l, v]) for r, k, l, v in d.exceedances)


def answer(series, words):
    if series.defects is None:
        series.match()
    if words[1] == "defect":
        return series.defect_csv(CODES[words[2]], int(words[3]), int(words[4]))
    low, high, codes, statuses, tgi_at_least = None, None, set(), set(), None
    for word in words[2:]:
        key, value = word.split("=", 1)
        if key == "from":
            low = int(value)
        elif key == "to":
            high = int(value)
        elif key == "param":
            codes.add(CODES[value])
        elif key == "status":
            statuses = set(value.split(","))
        elif key == "tgi":
            tgi_at_least = int(value)
    bounds = sorted([-32768 if low is None else low, 32767 if high is None else high])
    return series.defects_csv(bounds[0], bounds[1], codes, statuses, tgi_at_least)


def series_of(words):
    limits = dict(DEFAULT_LIMITS)
    for setting in words[3:]:
        name, value = setting.split("=")
        limits[CODES[name]] = int(value)
    return Series(int(words[1]), int(words[2]), limits)


def numbers_of(line):
    return [int(item) for item in line.replace(" ", ",").split(",") if item != ""]


def compute(text):
    """The output for a whole description."""
    out = []
    series = None
    for line in text.split("\n"):
        words = line.split()
        if line.startswith("60"):
            series.runs[-1].km_from = numbers_of(line)[1]
        elif line.startswith("67"):
            run = series.runs[-1]
            if run.peaks is None:
                continue
            numbers = numbers_of(line)
            code, pairs = numbers[1], numbers[2:-1]
            for i in range(0, len(pairs), 2):
                run.peaks.append(Peak(run.km_from, code, pairs[i + 1], pairs[i], len(run.peaks)))
        elif not words:
            continue
        elif words[0] == "series":
            series = series_of(words)
        elif words[0] == "run":
            series.runs.append(Run(int(words[1]), words[2], len(words) < 4 or words[3] != "nopeaks"))
        elif words[0] == "tgi":
            series.runs[-1].tgi[(int(words[1]), int(words[2]))] = int(words[3])
        elif words[0] == "query":
            out.append(line + "\n")
            out.append(answer(series, words))
    return "".join(out)


if __name__ == "__main__":
    with open(sys.argv[1], newline="") as description:
        sys.stdout.write(compute(description.read()))
