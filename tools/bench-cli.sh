#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
# Times the command-line cases of the speed targets as whole processes, from outside, and compares
# each with a plain Python script of the same rules (bench/baselines, for comparison only).
#
#   tools/bench-cli.sh [KESTRANA_CLI [MAKE_SAMPLES]]      (RUNS=n sets the runs per case, default 9)
#
# For every case: the median wall time and the median CPU time (user + system) of the runs, the peak
# memory (maximum resident set, by GNU time) of one more run, the target, and the Python script's median
# wall time with the ratio Python / kestrana-cli. The runs are those make_samples --measured writes
# (MAKE_SAMPLES defaults to build/tools/generator/make_samples, KESTRANA_CLI to build/src/cli/kestrana-cli).
# Each case's output is checked against the Python script's first, so both did the same work.
# Needs python3 (this script only; the build and the tests do not).
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
cli=$(realpath "${1:-$root/build/src/cli/kestrana-cli}")
make_samples=$(realpath "${2:-$root/build/tools/generator/make_samples}")
for tool in "$cli" "$make_samples"; do
    [ -x "$tool" ] || { echo "bench-cli: $tool is not a program" >&2; exit 2; }
done
command -v python3 >/dev/null || { echo "bench-cli: python3 is needed to run this script" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "bench-cli: GNU time (/usr/bin/time, package time) is needed" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$make_samples" --measured "$work" >/dev/null || { echo "bench-cli: make_samples failed" >&2; exit 2; }

echo "bench-cli: $(uname -n), $(nproc) cores; load at start:$(uptime | sed 's/.*load average//')"
cd "$work" || exit 2
RUNS=${RUNS:-9} CLI=$cli BASELINES=$root/bench/baselines python3 - <<'EOF'
import os, statistics, subprocess, sys, time

runs = int(os.environ["RUNS"])
cli = os.environ["CLI"]
baselines = os.environ["BASELINES"]

# (name, arguments, target text, target check on (median wall ms, peak MiB, ratio))
cases = [
    ("process, 32767 blocks (6.8 MB)", ["process", "largest.run"], "<= 40 ms, <= 32 MiB",
     lambda wall, mib, ratio: wall <= 40 and mib <= 32),
    ("process --output, 32767 blocks", ["process", "largest.run", "--output", "out.txt"], "(no target)",
     None),
    ("process, 200,000-char km line, 5000 blocks", ["process", "long-km-line.run"], "<= 200 ms, <= 32 MiB",
     lambda wall, mib, ratio: wall <= 200 and mib <= 32),
    ("peaks, 2000 km (24000 peak lines), 40 km", ["peaks", "long-peaks.run", "--from", "500", "--to", "540"],
     ">= 10x Python", lambda wall, mib, ratio: ratio >= 10),
    ("compare, four 32767-block runs, 100 km",
     ["compare", "compare0.run", "compare1.run", "compare2.run", "compare3.run", "--from", "3000", "--to", "3100"],
     "<= 200 ms", lambda wall, mib, ratio: wall <= 200),
]


def timed(argv):
    """Wall ms, CPU ms and peak resident KiB of one whole process; its standard output."""
    start = time.perf_counter()
    child = subprocess.Popen(argv, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    out = child.stdout.read()
    _, status, usage = os.wait4(child.pid, 0)
    wall = (time.perf_counter() - start) * 1000
    if status != 0:
        sys.exit("bench-cli: %s failed" % " ".join(argv))
    return wall, (usage.ru_utime + usage.ru_stime) * 1000, usage.ru_maxrss, out


def peak_memory(argv):
    """Peak resident MiB of one run, as GNU time reports it (the resident set of a child forked from
    this script would count the script's own pages as well)."""
    report = "peak-memory.txt"
    subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report] + argv, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=True)
    with open(report) as text:
        return int(text.read().split()[-1]) / 1024


def measure(argv):
    timed(argv)  # once to warm the file cache
    results = [timed(argv) for _ in range(runs)]
    return (statistics.median(r[0] for r in results), statistics.median(r[1] for r in results),
            peak_memory(argv), results[0][3])


print("%-44s %9s %9s %8s %10s %7s  %-20s %s" % ("case", "wall ms", "CPU ms", "peak MiB", "python ms", "ratio",
                                               "target", "met"))
all_met = True
for name, args, target, check in cases:
    wall, cpu, mib, out = measure([cli] + args)
    py_wall, _, _, py_out = measure([sys.executable, os.path.join(baselines, args[0] + ".py")] + args[1:])
    if py_out != out:
        sys.exit("bench-cli: %s: the Python script's output differs from kestrana-cli's" % name)
    ratio = py_wall / wall
    met = "-" if check is None else ("yes" if check(wall, mib, ratio) else "NO")
    all_met = all_met and met != "NO"
    print("%-44s %9.1f %9.1f %8.1f %10.1f %6.1fx  %-20s %s" % (name, wall, cpu, mib, py_wall, ratio, target, met))
print("medians of %d runs each; every target met: %s" % (runs, "yes" if all_met else "NO"))
EOF
status=$?
echo "bench-cli: load at end:$(uptime | sed 's/.*load average//')"
exit $status
