#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
# Builds the fuzz targets with clang and libFuzzer and runs each for SECONDS seconds (default 60)
# over a seed corpus made from data/samples. Findings (crash-*, leak-*, timeout-*) land in
# build-fuzz/findings/<target>/; the grown corpora stay in build-fuzz/corpus/<target>/ for the next run.
#   bash tools/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_run_file fuzz_peak_records fuzz_cli_options)
fi
build=build-fuzz
# Clang and its libFuzzer runtime are needed here only, so the set-up of the others does not fetch them.
if ! command -v "${CXX_FUZZ:-clang++-14}" >/dev/null ||
    ! dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q "install ok installed"; then
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends clang-14 libclang-rt-14-dev
fi
CXX="${CXX_FUZZ:-clang++-14}" cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKESTRANA_FUZZ=ON -DKESTRANA_BUILD_GUI=OFF -DKESTRANA_BUILD_TESTS=OFF -DKESTRANA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

# Seeds: the sample runs whole and cut short, their peak lines as scratch records, command lines.
seed() { # seed TARGET NAME: standard input becomes the seed file
    mkdir -p "$build/corpus/$1"
    cat >"$build/corpus/$1/$2"
}
for run in data/samples/*.run; do
    name=$(basename "$run" .run)
    seed fuzz_run_file "$name" <"$run"
    head -c 2000 "$run" | seed fuzz_run_file "$name-head"
    if grep -q '^67' "$run"; then
        { echo "60,100,101,"; grep -m 20 '^67' "$run"; } | seed fuzz_peak_records "$name"
    fi
done
words() { # words COMMAND-INDEX WORD...: the parser's input, words separated by NUL bytes
    local index=$1
    shift
    printf "\\$(printf '%03o' "$index")"
    local first=1
    for word in "$@"; do
        if [ $first -eq 0 ]; then printf '\0'; fi
        first=0
        printf '%s' "$word"
    done
}
words 0 run.run --output out.txt | seed fuzz_cli_options process
words 2 run.run --from=100 --to 120 --index TGIU --low -5 --save x | seed fuzz_cli_options list
words 5 a.run b.run c.run --param TGIW --chart | seed fuzz_cli_options compare
words 6 run.run --from 100 --to 150 --limit=-3 | seed fuzz_cli_options peaks

# The targets run side by side, so the whole run takes SECONDS however many there are.
for target in "${targets[@]}"; do
    mkdir -p "$build/findings/$target"
    "$build/fuzz/$target" -max_total_time="$seconds" -max_len=40000 -timeout=20 -rss_limit_mb=1024 \
        -print_final_stats=1 -artifact_prefix="$build/findings/$target/" "$build/corpus/$target" \
        >"$build/findings/$target.log" 2>&1 &
done
status=0
for job in $(jobs -p); do
    wait "$job" || status=1
done
for target in "${targets[@]}"; do
    echo "== $target ($seconds s): $build/findings/$target.log"
    grep -E '^stat::number_of_executed_units|^stat::new_units_added|^stat::peak_rss_mb|ERROR:|SUMMARY:' \
        "$build/findings/$target.log" || true
    ls "$build/findings/$target" | sed 's/^/finding: /'
done
exit $status
