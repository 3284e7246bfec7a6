#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
"""kestrana-cli defects and defect against defects_reference.py on generated libraries.

The generator writes two lines of runs (the sample line with defects of every status on falling km,
and a line on rising km whose defects sit on the edges of matching: a step of exactly the tolerance,
two exceedances of one run near one defect, a kilometre boundary crossed, a gap between covering
runs). `library import` takes them into a new library; the reference is given the same runs, read
from the run files themselves, in the run order `library runs` lists, with the TGI of every block as
the library stores it. Each query's CSV must be the reference's byte for byte; a defect that is not
there is exit 1 with its message, a bad setting exit 2.

  defects_cli_check.py KESTRANA_CLI MAKE_SAMPLES
"""

import csv
import datetime
import io
import os
import sqlite3
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "core"))
import defects_reference as reference  # noqa: E402

EPOCH = datetime.date(1970, 1, 1).toordinal()


def run(command):
    return subprocess.run(command, capture_output=True, text=True)


def series_description(runs, library, tolerance, limits):
    """The reference's description of one series: its runs in run order, their kilometre and peak lines
    as the files hold them, and each run's block TGIs from the library."""
    db = sqlite3.connect(library)
    lines = ["series %s %d %s" % (runs[0]["direction"], tolerance, " ".join(limits))]
    for row in runs:
        day = datetime.date.fromisoformat(row["date"]).toordinal() - EPOCH
        lines.append("run %d %s" % (day, row["run"]))
        with open(row["file"], newline="") as f:
            for line in f.read().split("\r\n"):
                if line.startswith(("60", "67")):
                    lines.append(line)
        for km, block, tgi in db.execute("SELECT km, block, tgi FROM block_values WHERE run = ?", (int(row["id"]),)):
            lines.append("tgi %d %d %d" % (km, block, tgi))
    db.close()
    return lines


def main():
    cli, make_samples = sys.argv[1], sys.argv[2]
    failures = 0
    compared = 0
    with tempfile.TemporaryDirectory() as folder:
        library = os.path.join(folder, "lib.sqlite")
        for option, sub in (("--defects", "sample"), ("--defect-cases", "cases")):
            os.mkdir(os.path.join(folder, sub))
            if run([make_samples, option, os.path.join(folder, sub)]).returncode != 0:
                print("make_samples %s failed" % option)
                return 1
        imported = run([cli, "library", "import", folder, "--library", library])
        if imported.returncode != 0:
            print("library import failed: " + imported.stdout + imported.stderr)
            return 1
        listed = run([cli, "library", "runs", "--library", library])
        series = {}
        for row in csv.DictReader(io.StringIO(listed.stdout)):
            series.setdefault((row["line"], row["direction"]), []).append(row)
        if len(series) != 2:
            print("expected two lines in the library, found %r" % list(series))
            return 1

        for (line, direction), runs in sorted(series.items()):
            kms = sorted({int(l.split(",")[1]) for r in runs for l in open(r["file"], newline="").read().split("\r\n")
                          if l.startswith("60")})
            for tolerance, limits in ((10, []), (3, ["UN2L=12", "VACC=20"]), (25, ["GAUGE=8"])):
                description = series_description(runs, library, tolerance, limits)
                base = [cli, "defects", "--line", line, "--direction=" + direction, "--library", library,
                        "--tolerance", str(tolerance)] + ["--limit=" + limit for limit in limits]
                middle = kms[len(kms) // 2]
                queries = [
                    ([], "query defects"),
                    (["--from", str(middle + 1), "--to", str(middle - 2)],
                     "query defects from=%d to=%d" % (middle + 1, middle - 2)),
                    (["--param", "UN2L", "--param", "TW1", "--status", "repeat,recurring"],
                     "query defects param=UN2L param=TW1 status=repeat,recurring"),
                    (["--tgi-at-least", "81"], "query defects tgi=81"),
                    (["--status", "gone,new", "--from", str(kms[0])], "query defects from=%d status=gone,new" % kms[0]),
                ]
                # The reference answers every query of one description in one pass; its output is split
                # at the query lines it echoes.
                answers = answers_of(description, [query for _, query in queries])
                for (options, query), expected in zip(queries, answers):
                    actual = run(base + options)
                    compared += 1
                    if actual.returncode != 0 or actual.stdout != expected:
                        failures += 1
                        print("defects %s %s (T=%d %s) differs:\n--- expected\n%s--- actual (exit %d)\n%s%s"
                              % (line, " ".join(options), tolerance, limits, expected, actual.returncode,
                                 actual.stdout, actual.stderr))
                # One defect's history for a dozen defects of the list, spread over it.
                rows = answers[0].splitlines()[1:]
                chosen = rows[::max(1, len(rows) // 12)]
                defect_queries = ["query defect %s %s %s" % tuple(row.split(",")[:3]) for row in chosen]
                for row, expected in zip(chosen, answers_of(description, defect_queries)):
                    name, km, location = row.split(",")[:3]
                    actual = run([cli, "defect", "--line", line, "--direction=" + direction, "--library", library,
                                  "--tolerance", str(tolerance), "--param", name, "--km", km,
                                  "--location", location] + ["--limit=" + limit for limit in limits])
                    compared += 1
                    if actual.returncode != 0 or actual.stdout != expected:
                        failures += 1
                        print("defect %s %s %s on %s differs:\n--- expected\n%s--- actual\n%s%s"
                              % (name, km, location, line, expected, actual.stdout, actual.stderr))

        # Refusals: no such defect (exit 1), settings that are not of their form (exit 2).
        line, direction = sorted(series)[0]
        base = ["--line", line, "--direction=" + direction, "--library", library]
        for command, status, first in (
                (["defect", "--param", "UN1L", "--km", "1", "--location", "1"], 1,
                 "No defect of UN1L has its latest exceedance at km 1, location 1."),
                (["defects", "--limit", "UN2L=1.5"], 2, "A limit must be a whole number from 0 to 32767."),
                (["defects", "--limit", "UN2L"], 2, "A limit is written NAME=VALUE, for example UN2L=12."),
                (["defects", "--tolerance", "1001"], 2,
                 "The tolerance must be a whole number of metres from 0 to 1000."),
                (["defects", "--param", "un2l"], 2, reference_parameter_message()),
                (["defect", "--param", "XYZ", "--km", "1", "--location", "1"], 2, reference_parameter_message()),
                (["defects", "--status", "open"], 2,
                 "A status must be one of repeat, new, recurring or gone (several separated by commas)."),
        ):
            result = run([cli] + command + base)
            compared += 1
            if result.returncode != status or result.stdout != "" or result.stderr.split("\n")[0] != first:
                failures += 1
                print("%s: expected exit %d and %r, got exit %d, stdout %r, stderr %r"
                      % (" ".join(command), status, first, result.returncode, result.stdout, result.stderr))
    if failures:
        print("%d of %d comparisons differ" % (failures, compared))
        return 1
    print("%d comparisons agree" % compared)
    return 0


def answers_of(description, queries):
    output = reference.compute("\n".join(description + queries))
    answers = []
    for line in output.splitlines(keepends=True):
        if line.startswith("query "):
            answers.append("")
        else:
            answers[-1] += line
    return answers


def reference_parameter_message():
    return ("The parameter must be one of UN1L, UN1R, TW1, GAUGE, AL1L, AL1R, UN2L, UN2R, AL2L, AL2R, VACC "
            "or LACC.")


if __name__ == "__main__":
    sys.exit(main())
