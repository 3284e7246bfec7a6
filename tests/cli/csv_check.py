#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
"""`kestrana-cli ... --format csv` read with Python's csv module against the text output of the same call.

For quality, list, share, block, peaks and compare, on the bundled samples and on copies of them made
here (a falling run, run dates that are no calendar date, runs read from standard input), every call is
made twice, with the text output and with --format csv. The CSV must parse as a header of snake_case
names and rows of as many fields, its numbers plain (no padding, no leading zeros) and its figures equal
to those the text shows; run dates are the text's DDMMYY as YYYY-MM-DD (years 00-69 are 2000-2069).

  csv_check.py KESTRANA_CLI SAMPLES_DIR
"""

import csv
import datetime
import io
import os
import re
import shutil
import subprocess
import sys
import tempfile
from decimal import ROUND_HALF_UP, Decimal

HEADER_NAME = re.compile(r"^[a-z][a-z0-9]*(_[a-z0-9]+)*$")
PLAIN_NUMBER = re.compile(r"^-?(0|[1-9][0-9]*)(\.[0-9]+)?$")
failures = []
calls = [0]  # checks made


def check(condition, what):
    calls[0] += 1
    if not condition:
        failures.append(what)
    return condition


def run(cli, args, stdin=None):
    with open(stdin, "rb") if stdin else open(os.devnull, "rb") as given:
        done = subprocess.run([cli] + args, stdin=given, capture_output=True)
    if done.returncode != 0:
        raise SystemExit("kestrana-cli %s: status %d\n%s" % (" ".join(args), done.returncode, done.stderr.decode()))
    return done.stdout.decode("latin-1")


def read_csv(text, what):
    """The rows of a CSV text as dicts, after checking its shape."""
    check(text.endswith("\n") and "\r" not in text, "%s: rows end with a single line feed" % what)
    rows = list(csv.reader(io.StringIO(text, newline="")))
    header = rows[0]
    check(all(HEADER_NAME.match(name) for name in header), "%s: snake_case header %s" % (what, header))
    check(len(set(header)) == len(header), "%s: header names unique" % what)
    for row in rows[1:]:
        check(len(row) == len(header), "%s: row %s has as many fields as the header" % (what, row))
    return header, [dict(zip(header, row)) for row in rows[1:]]


def number(field, what):
    """A CSV number field as a Decimal; None for an empty field."""
    if field == "":
        return None
    check(PLAIN_NUMBER.match(field) is not None, "%s: %r is a plain number" % (what, field))
    return Decimal(field)


def numbers_in(text):
    return [Decimal(n if not n.startswith(("-.", ".")) else n.replace(".", "0.", 1))
            for n in re.findall(r"-?\d*\.?\d+", text)]


def iso_of(ddmmyy):
    if not re.fullmatch(r"\d{6}", ddmmyy):
        return ""
    day, month, year = int(ddmmyy[0:2]), int(ddmmyy[2:4]), int(ddmmyy[4:6])
    try:
        return datetime.date(2000 + year if year < 70 else 1900 + year, month, day).isoformat()
    except ValueError:
        return ""


def check_quality(cli, args, what, stdin=None):
    text = run(cli, ["quality"] + args, stdin).splitlines()
    _, rows = read_csv(run(cli, ["quality"] + args + ["--format", "csv"], stdin), what)
    if not check(len(rows) == 1 and len(text) == 6, "%s: one row for six lines" % what):
        return
    row = rows[0]
    shown = [numbers_in(line)[-1] for line in text[:5]]
    average = numbers_in(text[5])
    fields = ["tgi_below_36_percent", "tgi_36_to_50_percent", "tgi_51_to_80_percent", "tgi_above_80_percent",
              "non_recorded_percent"]
    for name, figure in zip(fields, shown):
        check(number(row[name], what) == figure, "%s: %s %s = %s" % (what, name, row[name], figure))
    expected_average = average[-1] if average else None
    check(number(row["average_tgi"], what) == expected_average, "%s: average_tgi %r" % (what, row["average_tgi"]))
    return row


def check_list(cli, args, what, stdin=None):
    text = run(cli, ["list"] + args, stdin).splitlines()
    _, rows = read_csv(run(cli, ["list"] + args + ["--format", "csv"], stdin), what)
    check(text[0].split() == ["Kmfr", "Kmto", "BLK", "TGI", "TGIU", "TGIW", "TGIG", "TGIL"], what + ": text header")
    check(len(rows) == len(text) - 1, "%s: %d rows for %d listed blocks" % (what, len(rows), len(text) - 1))
    names = ["km_from", "km_to", "block", "tgi", "tgiu", "tgiw", "tgig", "tgil"]
    for line, row in zip(text[1:], rows):
        check([number(row[name], what) for name in names] == numbers_in(line), "%s: %s vs %s" % (what, row, line))
    return rows


def check_share(cli, args, what, stdin=None):
    text = run(cli, ["share"] + args, stdin).splitlines()
    _, rows = read_csv(run(cli, ["share"] + args + ["--format", "csv"], stdin), what)
    match = re.fullmatch(r"(\S+) % of Track between  Km (\S+)  and  (\S+)  is between TGI  (\S+)  -  (\S+)", text[0])
    if check(match and len(rows) == 1, "%s: one caption, one row" % what):
        share, lower, upper, low, high = (Decimal(g) for g in match.groups())
        row = rows[0]
        got = [number(row[name], what) for name in ["share_percent", "lower_km", "upper_km", "tgi_low", "tgi_high"]]
        check(got == [share, lower, upper, low, high], "%s: %s vs %s" % (what, row, text[0]))


def check_block(cli, args, what, stdin=None):
    text = run(cli, ["block"] + args, stdin).splitlines()
    header, rows = read_csv(run(cli, ["block"] + args + ["--format", "csv"], stdin), what)
    check(header[3:] == [name.lower() for name in text[0].split()], "%s: the view's columns" % what)
    check(len(rows) == len(text) - 1, "%s: one row per matching block" % what)
    for line, row in zip(text[1:], rows):
        check([number(row[name], what) for name in header[3:]] == numbers_in(line), "%s: %s vs %s" % (what, row, line))
        key = args[args.index("--km") + 1], args[args.index("--block") + 1]
        check((row["km_from"], row["block"]) == key, "%s: the block's key" % what)
    return rows


def check_compare(cli, args, what, stdin=None):
    text = run(cli, ["compare"] + args, stdin).splitlines()
    _, rows = read_csv(run(cli, ["compare"] + args + ["--format", "csv"], stdin), what)
    dates = text[1].split()[4:]
    runs = len(dates)
    check(len(rows) == runs * (len(text) - 2), "%s: %d rows for %d runs of %d blocks" % (what, len(rows), runs,
                                                                                        len(text) - 2))
    for i, line in enumerate(text[2:]):
        words = line.split()
        for k in range(runs):
            row = rows[i * runs + k]
            expected = [Decimal(k), Decimal(words[0]), Decimal(words[2]), Decimal(words[3]),
                        None if words[4 + k] == "NA" else Decimal(words[4 + k])]
            got = [number(row[name], what) for name in ["run_index", "km_from", "km_to", "block", "value"]]
            check(got == expected, "%s: %s vs %s" % (what, row, line))
            check(row["run_date"] == iso_of(dates[k]), "%s: run_date %s for %s" % (what, row["run_date"], dates[k]))
    return rows


def check_peaks(cli, args, what, stdin=None):
    text = run(cli, ["peaks"] + args, stdin).splitlines()
    _, rows = read_csv(run(cli, ["peaks"] + args + ["--format", "csv"], stdin), what)
    km_count, share = numbers_in(text[0])[-2:]
    total = numbers_in(text[1])[-1]
    check(len(rows) == km_count == len(text) - 2, "%s: %d rows for %s kilometres" % (what, len(rows), km_count))
    filled = 0
    for line, row in zip(text[2:], rows):
        fields = [number(row[name], what) for name in row]
        values = [f for f in fields if f is not None]
        check(values == numbers_in(line), "%s: %s vs %s" % (what, row, line))
        filled += sum(1 for i in range(1, 9) if row["peak_%d" % i] != "")
    check(filled == total, "%s: %d peaks filled, %s counted" % (what, filled, total))
    bounds = [Decimal(args[args.index(o) + 1]) for o in ("--from", "--to")]
    kms = abs(bounds[1] - bounds[0])
    check((Decimal(len(rows)) * 100 / kms).quantize(Decimal("0.01"), ROUND_HALF_UP) == share,
          "%s: the share %s follows from the rows" % (what, share))
    return rows


def main():
    cli, samples = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp()
    try:
        for name in os.listdir(samples):
            shutil.copy(os.path.join(samples, name), work)
        os.chdir(work)
        # Falling copies of two runs; run dates that are no calendar date (31 February, letters).
        for rising, falling in (("trcdata0.run", "falling0.run"), ("trcdata1.run", "falling1.run")):
            with open(rising, "rb") as source:
                lines = source.read().split(b"\r\n")
            with open(falling, "wb") as out:
                out.write(b"\r\n".join(re.sub(rb"^60,(\d+),(\d+),", rb"60,\2,\1,", line) for line in lines))
        for name, source_name, date in (("baddate2.run", "trcdata2.run", b"310299"),
                                        ("letters3.run", "trcdata3.run", b"1a0923")):
            with open(source_name, "rb") as source:
                text = source.read()
            with open(name, "wb") as out:
                out.write(re.sub(rb"^(95,\d+,)\d{6}", rb"\g<1>" + date, text, count=1))

        for args in (["trcdata.run"], ["trcdata.run", "--from", "104", "--to", "112"],
                     ["trcdata.run", "--from=-5", "--to", "32767"], ["trcdata0.run"], ["shtd0201.run"]):
            check_quality(cli, args, "quality " + " ".join(args))
        check_quality(cli, ["-", "--from", "105"], "quality - (standard input)", stdin="trcdata.run")

        for args in (["trcdata.run"], ["trcdata.run", "--index", "TGIU", "--low", "20", "--high", "60"],
                     ["trcdata.run", "--low", "35.5", "--high", "34.5"], ["trcdata0.run", "--low", "0", "--high", "500"],
                     ["trcdata3.run", "--index", "TGIL", "--from", "150", "--to", "138"],
                     ["falling1.run", "--low", "0", "--high", "100"]):
            check_list(cli, args, "list " + " ".join(args))
        check(len(check_list(cli, ["-", "--low", "0", "--high", "999"], "list -", stdin="trcdata.run")) > 50,
              "list - lists the whole run")

        for args in (["trcdata.run"], ["trcdata.run", "--low", "35.5", "--high", "80"],
                     ["trcdata2.run", "--from", "145", "--to", "135", "--low", "50", "--high", "90"]):
            check_share(cli, args, "share " + " ".join(args))

        for args in (["trcdata.run", "--km", "104", "--block", "3"], ["trcdata.run", "--km", "999", "--block", "1"],
                     ["trcdata0.run", "--km", "131", "--block", "5"]):
            check_block(cli, args, "block " + " ".join(args))

        compared = [["trcdata0.run", "trcdata1.run"], ["trcdata0.run", "trcdata1.run", "trcdata2.run", "trcdata3.run"],
                    ["trcdata0.run", "trcdata1.run", "trcdata2.run", "trcdata3.run", "--param", "TGIU",
                     "--from", "132", "--to", "140"],
                    ["trcdata0.run", "baddate2.run", "letters3.run", "--param", "TGIG"],
                    ["falling0.run", "falling1.run", "--from", "150", "--to", "140"]]
        for args in compared:
            check_compare(cli, args, "compare " + " ".join(args))
        check_compare(cli, ["trcdata0.run", "-", "--from", "140", "--to", "133"], "compare with -", stdin="trcdata1.run")
        check(run(cli, ["compare", "trcdata0.run", "-", "--format", "csv"], "trcdata1.run") ==
              run(cli, ["compare", "trcdata0.run", "trcdata1.run", "--format", "csv"]),
              "compare -: the run read from standard input is the file's run, its date included")

        for args in (["shtd0201.run", "--from", "201", "--to", "230"],
                     ["shtd0201.run", "--from", "230", "--to", "201", "--param", "UN1L"],
                     ["shtd0201.run", "--from", "201", "--to", "230", "--param", "GAUGE", "--limit", "5"],
                     ["shtd0201.run", "--from", "201", "--to", "230", "--limit", "99"]):
            check_peaks(cli, args, "peaks " + " ".join(args))
        check_peaks(cli, ["-", "--from", "210", "--to", "215"], "peaks -", stdin="shtd0201.run")
    finally:
        os.chdir("/")
        shutil.rmtree(work)

    for failure in failures:
        print("FAILED:", failure)
    print("csv_check: %d checks, %d failed" % (calls[0], len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
