#!/usr/bin/env bash
# Runs every fuzz_* program in BUILD_DIR for SECONDS seconds, each from its seed corpus
# fuzz/corpus/<name>/ (the seeds are read, never changed). Fails when a program finds a
# crash, a sanitizer report or a hang; the input that caused it is kept in
# BUILD_DIR/fuzz-artifacts/.
# usage: fuzz/run-all.sh BUILD_DIR SECONDS
set -u
if [ $# -ne 2 ]; then
    echo "usage: $0 BUILD_DIR SECONDS" >&2
    exit 2
fi
build=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
status=0
count=0
for program in "$build"/fuzz_*; do
    [ -f "$program" ] && [ -x "$program" ] || continue
    count=$((count + 1))
    name=$(basename "$program")
    seeds="$here/corpus/${name#fuzz_}"
    work=$(mktemp -d)
    corpora=("$work")
    [ -d "$seeds" ] && corpora+=("$seeds")
    if "$program" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
        -artifact_prefix="$artifacts/$name-" "${corpora[@]}" >"$work/log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
        echo "$name: ok, ${runs:-?} executions in ${seconds} s"
    else
        tail -40 "$work/log"
        echo "$name: FAILED (input kept in $artifacts)"
        status=1
    fi
    rm -rf "$work"
done
if [ "$count" -eq 0 ]; then
    echo "no fuzz programs in $build" >&2
    exit 1
fi
exit $status
