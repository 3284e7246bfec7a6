#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
# Kills `kestrana-cli library import` at each of its writes, and fails each of them, one at a time,
# on a new and on an existing library, and checks every result: the library must be either as it was
# before the import or hold the new run whole (content compared row by row with a clean import), pass
# SQLite's integrity check, and be usable by the next command. An import that was made to fail must
# not report success without the run, and must leave no journal behind.
#
#   bash tools/kill-at-every-write.sh [KESTRANA_CLI]     (default build/src/cli/kestrana-cli)
#
# Writes are the calls that change files: pwrite64, write, fsync, fdatasync, ftruncate, openat (a
# file made), unlink, link and rename. strace counts each call separately, so call N of each is hit in
# turn, by SIGKILL ("kill"), by EIO ("eio") and by ENOSPC ("nospace"). Needs strace and sqlite3.
# Not part of ctest: it runs the program a few thousand times (a few minutes).

set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
cli=$(realpath "${1:-$here/../build/src/cli/kestrana-cli}")
samples="$here/../data/samples"
for tool in strace sqlite3 python3; do
    command -v "$tool" >/dev/null || { echo "kill-at-every-write: $tool is needed" >&2; exit 2; }
done
[ -x "$cli" ] || { echo "kill-at-every-write: no kestrana-cli at $cli" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
mkdir tmp
export TMPDIR="$work/tmp" # the program's private work folders, left behind by a kill

# The run taken in: 300 km (1500 blocks) of the sample line, recorded after the samples, so that it
# fills many pages of the library.
python3 - >new.run <<'EOF'
import random
random.seed(7)
print("95,1,150627,0815,TRC\r")
print("91,0034,NR,KM," + "SHEGAON - BADNERA UP LINE".ljust(30) + ",END\r")
for km in range(300, 600):
    print(f"60,{km},{km + 1},\r")
    for block in range(1, 6):
        values = [random.randint(5, 40) for _ in range(11)] + [random.randint(40, 99), 60, 2]
        values += [random.randint(60, 140), random.randint(60, 140)] + [random.randint(40, 99) for _ in range(4)] + [0]
        print("68," + str(block) + "," + ",".join(map(str, values)) + "\r")
EOF

dump() { sqlite3 "$1" .dump; }

# The states a library may be found in: before (as it was), whole (the run in it, as a clean import
# leaves it), and for a new library also absent and empty (made, the run not yet in).
"$cli" library import "$samples"/history0[1-6].run --library existing.sqlite >/dev/null || exit 2
dump existing.sqlite >existing-before.dump
cp existing.sqlite reference.sqlite
"$cli" library import new.run --library reference.sqlite >/dev/null || exit 2
dump reference.sqlite >existing-whole.dump
"$cli" library import "$work/nothing" --library empty.sqlite >/dev/null 2>&1
dump empty.sqlite >new-empty.dump
"$cli" library import new.run --library fresh.sqlite >/dev/null || exit 2
dump fresh.sqlite >new-whole.dump
rm -f reference.sqlite empty.sqlite fresh.sqlite

calls="pwrite64 write fsync fdatasync ftruncate openat unlink link rename"

# How many times a clean import makes each call.
count_calls() { # scenario
    prepare "$1"
    strace -f -qq -o trace -e trace="${calls// /,}" "$cli" library import new.run --library lib.sqlite >/dev/null
    for call in $calls; do
        echo "$call $(grep -c "^[0-9]* *$call(" trace)"
    done
}

prepare() { # scenario
    rm -rf lib.sqlite* tmp/*
    [ "$1" = existing ] && cp existing.sqlite lib.sqlite
    true
}

declare -A tally
faults=0
# Runs one import with the fault, then looks at what it left.
one_case() { # scenario call n action
    local scenario=$1 call=$2 n=$3 action=$4 how status state
    case $action in
    kill) how="signal=SIGKILL" ;;
    eio) how="error=EIO" ;;
    nospace) how="error=ENOSPC" ;;
    esac
    prepare "$scenario"
    # In a subshell of its own that outlives it, so that the shell's word on the kill goes nowhere.
    (
        strace -f -qq -o /dev/null -e trace="$call" -e inject="$call:$how:when=$n" \
            "$cli" library import new.run --library lib.sqlite >out 2>err
        exit $?
    ) 2>/dev/null
    status=$?
    local journal=no
    [ -e lib.sqlite-journal ] && journal=yes
    if [ ! -e lib.sqlite ]; then
        state=absent
        [ "$scenario" = existing ] && state=LOST
    elif ! "$cli" library runs --library lib.sqlite >/dev/null 2>runs.err; then
        state="UNUSABLE($(head -1 runs.err))"
    elif [ "$(sqlite3 lib.sqlite 'PRAGMA integrity_check')" != ok ]; then
        state=DAMAGED
    else
        dump lib.sqlite >now.dump
        if cmp -s now.dump "$scenario-before.dump" 2>/dev/null; then
            state=before
        elif [ "$scenario" = new ] && cmp -s now.dump new-empty.dump; then
            state=empty
        elif cmp -s now.dump "$scenario-whole.dump"; then
            state=whole
        else
            state=PARTIAL
        fi
    fi
    if [ "$action" != kill ]; then
        # The program lived on: it must have said so, and cleaned up.
        [ "$status" -eq 0 ] && [ "$state" != whole ] && state="SUCCESS-WITHOUT-THE-RUN"
        [ "$journal" = yes ] && state="$state+JOURNAL-LEFT"
    fi
    tally["$scenario $action $state"]=$((${tally["$scenario $action $state"]:-0} + 1))
    case $state in
    before | whole | empty | absent) ;;
    *)
        faults=$((faults + 1))
        echo "FAULT: $scenario library, $action at $call call $n: $state (exit $status: $(head -1 err))"
        ;;
    esac
}

total=0
for scenario in new existing; do
    while read -r call count; do
        for action in kill eio nospace; do
            for ((n = 1; n <= count; n++)); do
                one_case "$scenario" "$call" "$n" "$action"
                total=$((total + 1))
            done
        done
        echo "$scenario library: $call called $count times"
    done < <(count_calls "$scenario")
done

echo
echo "$total imports, each with one call killed or failed:"
for key in "${!tally[@]}"; do
    echo "  $key: ${tally[$key]}"
done | sort
echo "faults: $faults"
[ "$faults" -eq 0 ]
