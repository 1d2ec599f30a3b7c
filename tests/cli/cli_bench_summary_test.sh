#!/usr/bin/env bash
# tapwise-cli bench-summary on hand-made bench files as benches write them into a shared folder:
# the figures, each test counted once however the files are given, bad rows named by file and
# line, the HTML page with the layout found by file name, and the exit statuses.
# usage: cli_bench_summary_test.sh TAPWISE_CLI SOURCE_DIR
set -u
cli=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

mkdir shared empty
header='Date,Time,Unit,Plan,Layout,Verdict,Tested,Required,Faulty keys,Untested keys,Chatter events,Rollover,Overflow,Duration (s),Report'
# Bench 1 as the program writes it: byte-order mark, CR LF, quoted and formula-guarded cells.
{
    printf '\xEF\xBB\xBF%s\r\n' "$header"
    printf '2026-12-08,09:00:00,P1,Keypad,numpad_17.kbl,PASS,17,17,,,0,4,0,31,P1_20261208-090000.html\r\n'
    printf '2026-12-08,09:01:00,"P2, ""b""",Keypad,numpad_17.kbl,FAIL,16,17,Num 5,Num 0,2,4,0,40,x.html\r\n'
    printf "2026-12-08,09:02:00,'=1+1,Keypad,numpad_17.kbl,FAIL,15,17,'-; Num 5,\"Num Enter\",1,4,1,52,y.html\r\n"
    printf '2026-12-08,09:03:00,"P4\r\nline",Keypad,numpad_17.kbl,FAIL,16,17,Num 5,,0,4,0,33,z.html\r\n'
} >shared/bench.csv
# Bench 2 saved again by a spreadsheet program: no mark, LF; one row copied from bench 1, one bad.
{
    printf '%s\n' "$header"
    printf '2026-12-08,09:00:00,P1,Keypad,numpad_17.kbl,PASS,17,17,,,0,4,0,31,P1_20261208-090000.html\n'
    printf '2026-12-08,10:00:00,Q1,Keypad,numpad_17.kbl,PASS,17,17,,,0,4,0,29,Q1.html\n'
    printf '2026-12-08,10:01:00,Q2,Keypad,numpad_17.kbl,SKIP,17,17,,,0,4,0,29,Q2.html\n'
} >shared/BENCH-2.CSV
printf 'Name,Score\r\nAnn,3\r\n' >shared/notes.csv

expected='units tested: 5
passed: 2
failed: 3
pass rate: 40.0%
layout: "numpad_17.kbl" 5
failed key: "Num 5" 3 (faulty 3, untested 0)
failed key: "-" 1 (faulty 1, untested 0)
failed key: "Num 0" 1 (faulty 0, untested 1)
failed key: "Num Enter" 1 (faulty 0, untested 1)'

# The folder and a file in it, and the file again: every test once.
"$cli" bench-summary shared shared/bench.csv ./shared/bench.csv >out 2>err
status=$?
[ "$status" -eq 1 ] || fail "a bad row: exit status $status"
[ "$(cat out)" = "$expected" ] || fail "summary:"$'\n'"$(cat out)"
[ "$(cat err)" = "tapwise-cli bench-summary: shared/BENCH-2.CSV:4: Verdict is 'SKIP', not PASS or FAIL" ] ||
    fail "problems: $(cat err)"

# One good file: exit 0, nothing on standard error.
"$cli" bench-summary shared/bench.csv >out 2>err || fail "bench.csv alone: exit status $?"
[ -s err ] && fail "bench.csv alone: $(cat err)"
grep -qx 'units tested: 4' out || fail "bench.csv alone: $(head -n 1 out)"

# The page: the layout found by its file name in --layouts, Num 5 in the darkest colour.
"$cli" bench-summary --html page.html --layouts "$source_dir/layouts" shared/bench.csv >out 2>err ||
    fail "--html: exit status $? $(cat err)"
grep -q 'Failures by key on 17 Key Numeric Keypad <small>(4 units tested on it)' page.html ||
    fail "page: no layout heading"
grep -q '<title>Num 5: failed on 3 of 4 units (faulty 3, untested 0)</title><rect [^>]*fill="#a50f1e"' \
    page.html || fail "page: Num 5 not in the darkest colour"
grep -q '<b>25.0%</b>pass rate' page.html || fail "page: no pass rate"
# Without the folder the page still has the figures and says why there is no picture.
"$cli" bench-summary --html page2.html --layouts empty shared/bench.csv >out 2>err ||
    fail "--html without the layout: exit status $?"
grep -q 'No keyboard picture: the layout &quot;numpad_17.kbl&quot; was not found' page2.html ||
    fail "page without the layout: no reason"
grep -q '<b>3</b>failed' page2.html || fail "page without the layout: no figures"

# Usage errors and unreadable inputs: exit 2, a message, nothing on standard output.
check_error() { # expected-status message-pattern args...
    local want=$1 pattern=$2
    shift 2
    "$cli" "$@" >out 2>err
    local got=$?
    [ "$got" -eq "$want" ] || fail "'$*': exit status $got"
    [ -s out ] && fail "'$*': standard output written"
    grep -q -- "$pattern" err || fail "'$*': message $(cat err)"
}
check_error 2 'give at least one FILE_OR_FOLDER' bench-summary
check_error 2 'unknown option' bench-summary --bogus shared
check_error 2 "cannot read 'missing.csv'" bench-summary shared/bench.csv missing.csv
check_error 2 "no bench\*.csv file in 'empty'" bench-summary empty
check_error 2 "would overwrite the input file" bench-summary --html shared/bench.csv shared/bench.csv
check_error 2 "would overwrite the input file" bench-summary --html shared/BENCH-2.CSV shared
# A file that is not a bench file is left out, as a bad row is.
"$cli" bench-summary shared/notes.csv shared/bench.csv >out 2>err
[ $? -eq 1 ] || fail "notes.csv: exit status"
grep -q "shared/notes.csv: not a bench file" err || fail "notes.csv: $(cat err)"
grep -qx 'units tested: 4' out || fail "notes.csv: $(head -n 1 out)"
# A page that cannot be written: the figures are printed all the same, exit 1.
"$cli" bench-summary --html no/such/folder/page.html shared/bench.csv >out 2>err
[ $? -eq 1 ] || fail "unwritable page: exit status"
grep -q "cannot write 'no/such/folder/page.html'" err || fail "unwritable page: $(cat err)"
grep -qx 'units tested: 4' out || fail "unwritable page: no figures"

[ "$failures" -eq 0 ] && echo "bench-summary: ok"
exit "$failures"
