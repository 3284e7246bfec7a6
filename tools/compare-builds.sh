#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
# Runs two builds of kestrana-cli over the same calls and says where they differ: standard output,
# standard error, exit status and every file a call writes (--output, --save). Used to show that a
# change inside the program leaves what it gives the user byte for byte as it was.
#
#   tools/compare-builds.sh OLD_CLI NEW_CLI [MAKE_SAMPLES]
#
# The calls cover every command (process, quality, list, share, block, compare, peaks) with their
# options and refusals, on the bundled samples, on damaged copies of them (bad numbers on known lines,
# shifted and cut-short records, misplaced lines, other line ends) and on the generated runs that
# make_samples --measured writes (the largest run, a 200,000-character kilometre line over 5000
# blocks, 2000 km of peaks, four compared runs of 32767 blocks). MAKE_SAMPLES defaults to
# build/tools/generator/make_samples. The private work folder a call names in a message is the one thing
# allowed to differ. Exit status 0 when every call agrees.
set -u

if [ $# -lt 2 ]; then
    sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
old=$(realpath "$1")
new=$(realpath "$2")
make_samples=$(realpath "${3:-$root/build/tools/generator/make_samples}")
for tool in "$old" "$new" "$make_samples"; do
    [ -x "$tool" ] || { echo "compare-builds: $tool is not a program" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
runs=$work/runs
mkdir -p "$runs" "$work/tmp"
cp "$root"/data/samples/*.run "$runs"/
"$make_samples" --measured "$runs" >/dev/null || { echo "compare-builds: make_samples failed" >&2; exit 2; }

# ---- damaged copies of the samples (line numbers are those of the bundled files) ----------------
s=$runs
a=$s/trcdata.run  # 20 km: line 3 "60", 4-8 "68", 9-20 "67", then 18 lines per km
p=$s/shtd0201.run # 30 km, the same layout
sed '6s/^68,\([0-9]*\),[0-9]*/68,\1,4.5/' "$a" >"$s/bad-tenths.run"
sed '25s/^68,\([0-9]*\),[0-9]*/68,\1,32768/' "$a" >"$s/bad-range.run"
sed '39s/^60,/60,x/' "$a" >"$s/bad-km.run"
sed '21s/,\r$/,9,\r/' "$a" >"$s/km-extra-number.run"
sed '24s/,[-0-9]*\r$/\r/' "$a" >"$s/block-short.run"
sed '21s/,\r$/,9,\r/; 22,26s/,[-0-9]*\r$/\r/' "$a" >"$s/shift-balanced.run"
sed '2a 68,9,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21\r' "$a" >"$s/block-first.run"
sed '21s/,\r$/,9,\r/; 60s/^68,\([0-9]*\),[0-9]*/68,\1,x/' "$a" >"$s/leftover-then-bad.run"
sed '3s/^60,100,101,/60,-32768,32767,/' "$a" >"$s/direction-overflow.run"
tr -d '\r' <"$a" >"$s/lf.run"
tr -d '\r' <"$a" | tr '\n' '\r' >"$s/cr.run"
grep -v '^68' "$a" >"$s/no-blocks.run"
grep -v '^9[15]' "$a" >"$s/no-header.run"
: >"$s/empty.run"
{ cat "$s/largest.run"; printf '68,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22\r\n'; } >"$s/too-many-blocks.run"
sed '9s/^67,0,[0-9]*/67,0,x/' "$p" >"$s/peak-bad-first.run"
sed '30s/^67,\([0-9]*\),[0-9]*/67,\1,40000/' "$p" >"$s/peak-bad-later.run"
sed '46s/,[0-9]*\r$/\r/' "$p" >"$s/peak-cut-short.run"
sed '50s/\r$/,1,2,3,4,5,6\r/' "$p" >"$s/peak-too-long.run"
sed '2a 67,6,30,1,29,2,28,3,27,4,5\r' "$p" >"$s/peak-orphan.run"
sed -E 's/^60,([0-9]+),([0-9]+),/60,\2,\1,/' "$s/trcdata1.run" >"$s/falling1.run"
sed '40s/^68,\([0-9]*\),[0-9]*/68,\1,99999x/' "$s/trcdata2.run" >"$s/bad-slot2.run"
sed '4s/,[-0-9]*\r$/\r/' "$s/trcdata3.run" >"$s/cut-slot3.run"

# ---- one call, both builds ----------------------------------------------------------------------
same=0
differ=0
run_one() { # program folder words...
    local program=$1 dir=$2
    shift 2
    mkdir -p "$dir"
    printf 'previous\r\n' >"$dir/out.txt"
    local words=()
    for word in "$@"; do
        words+=("${word//@OUT@/$dir/out.txt}")
    done
    TMPDIR=$work/tmp "$program" "${words[@]}" >"$dir/stdout" 2>"$dir/stderr" </dev/null
    echo $? >"$dir/status"
    # The private folder of a call has a new name every time.
    sed -E -i 's#[^ ,:"]*/kestrana-cli-[^/ ,:"]*#<work>#g; s#'"$dir"'#<dir>#g' "$dir/stderr" "$dir/stdout"
}
check() { # words...
    rm -rf "$work/old" "$work/new"
    run_one "$old" "$work/old" "$@"
    run_one "$new" "$work/new" "$@"
    if diff -r "$work/old" "$work/new" >/dev/null; then
        same=$((same + 1))
    else
        differ=$((differ + 1))
        echo "DIFFERS: kestrana-cli $*" | sed "s#$runs/##g"
        diff -r "$work/old" "$work/new" | head -20 | sed 's/^/    /'
    fi
}

cd "$runs" || exit 2

# The analyser's commands on good runs.
for run in trcdata.run lf.run cr.run no-header.run shift-balanced.run block-first.run largest.run \
    long-km-line.run; do
    check process "$run"
    check process "$run" --output @OUT@
    check quality "$run"
    check list "$run"
    check share "$run"
done
check quality trcdata.run --from 104 --to 112
check quality trcdata.run --from=-5 --to 99999
check quality trcdata.run --from abc
check list trcdata.run --index TGIU --low 20 --high 60
check list trcdata.run --index tgi
check list trcdata.run --from 101 --to 110 --save @OUT@
check list trcdata.run --low 35.5 --high 34.5 --save @OUT@
check share trcdata.run --low 35.5 --high 80
check share trcdata.run --low x
check block trcdata.run --km 104 --block 3
check block trcdata.run --km 999 --block 1
check block largest.run --km 3000 --block 2
check block trcdata.run --km 104
check list largest.run --from 3000 --to 3400 --index TGIL --low 50 --high 90
check quality largest.run --from 1000 --to 5000
check bogus trcdata.run
check process
# Words near the parsing that -h, -- and - changed: a word of one dash is still a file, an unknown
# option or a missing value still a usage error, a value may still begin with a dash.
check quality -x
check quality trcdata.run -x
check list trcdata.run --low=-5 --high=-1
check list trcdata.run --bogus
check share trcdata.run --low
check compare trcdata0.run trcdata1.run trcdata2.run trcdata3.run trcdata.run

# The analyser's refusals: damaged runs, each with a previous output file that must stay.
for run in bad-tenths.run bad-range.run bad-km.run km-extra-number.run block-short.run \
    leftover-then-bad.run direction-overflow.run no-blocks.run empty.run too-many-blocks.run \
    missing.run /dev/zero .; do
    check process "$run" --output @OUT@
    check list "$run" --save @OUT@
done

# The comparator.
check compare trcdata0.run trcdata1.run
check compare trcdata0.run trcdata1.run trcdata2.run
check compare trcdata0.run trcdata1.run trcdata2.run trcdata3.run
check compare trcdata0.run trcdata1.run trcdata2.run trcdata3.run --param TGIU --from 132 --to 140
check compare trcdata0.run trcdata1.run trcdata2.run trcdata3.run --chart
check compare trcdata0.run trcdata1.run trcdata2.run --param TGIG --chart
check compare trcdata0.run trcdata1.run trcdata2.run trcdata3.run --save @OUT@
check compare trcdata0.run trcdata1.run --chart --save @OUT@
check compare trcdata0.run trcdata1.run --param xyz
check compare trcdata0.run falling1.run
check compare trcdata0.run trcdata1.run bad-slot2.run --save @OUT@
check compare trcdata0.run trcdata1.run trcdata2.run cut-slot3.run
check compare trcdata0.run trcdata1.run shift-balanced.run
check compare trcdata0.run no-blocks.run
check compare trcdata0.run missing.run
check compare bad-tenths.run trcdata1.run
check compare trcdata0.run too-many-blocks.run
check compare compare0.run compare1.run compare2.run compare3.run --from 3000 --to 3100
check compare compare0.run compare1.run compare2.run compare3.run --from 3000 --to 3100 --chart
check compare compare0.run compare1.run --from 100 --to 200 --param TGIW

# The peak analyser.
check peaks shtd0201.run --from 201 --to 230
check peaks shtd0201.run --from 230 --to 201 --param UN1L
check peaks shtd0201.run --from 201 --to 230 --param GAUGE --limit 5
check peaks shtd0201.run --from 201 --to 260
check peaks shtd0201.run --from 201 --to 201
check peaks shtd0201.run --from 201 --to 230 --param nothing
check peaks shtd0201.run --from 201
check peaks long-peaks.run --from 500 --to 540
check peaks long-peaks.run --from 1990 --to 1950 --param AL2R --limit 3
check peaks trcdata.run --from 100 --to 120 --param TW1
for run in peak-bad-first.run peak-bad-later.run peak-cut-short.run peak-too-long.run peak-orphan.run \
    no-blocks.run empty.run missing.run largest.run; do
    check peaks "$run" --from 201 --to 230
done

echo "compare-builds: $same calls agree, $differ differ"
[ "$differ" -eq 0 ]
