#!/bin/sh
# tapwise-cli replay end to end: a chatter trace on the built-in layout, the options, and the
# exit statuses of bad input.
# usage: replay_cli_test.sh TAPWISE_CLI
set -u
cli=${1:?usage: replay_cli_test.sh TAPWISE_CLI}
work=$(mktemp -d "${TMPDIR:-/tmp}/tapwise-replay.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cat > "$work/chatter.trace" <<'TRACE'
# A pressed, released, pressed again 7 ms later (chatter at 8), then 8 ms later (none)
1000 0x1E 0 0x41
1100 0x1E 1 0x41
1107 0x1E 0 0x41   # chatter
1200 0x1E 1 0x41
1208 0x1E 0 0x41
1300 0x1E 1 0x41
2000 0x1D 0 0x11 2 # Left Ctrl from a second keyboard
2050 0x1D 1 0x11 2
TRACE
cat > "$work/expected" <<'OUT'
status: Layout Cleared/Reloaded
log: A (0x41, BIOS 0x1E) DOWN
held: " A  "
status: Active
log: A (0x41, BIOS 0x1E) UP -> 100ms
held: " "
log: A (0x41, BIOS 0x1E) DOWN
fault: A (0x41, BIOS 0x1E) CHATTER DETECTED -> 7ms
held: " A  "
log: A (0x41, BIOS 0x1E) UP -> 93ms
held: " "
log: A (0x41, BIOS 0x1E) DOWN
held: " A  "
log: A (0x41, BIOS 0x1E) UP -> 92ms
held: " "
log: LCtrl (0x11, BIOS 0x1D) DOWN
held: " LCTRL  "
lamp: Caps Lock
log: LCtrl (0x11, BIOS 0x1D) UP -> 50ms
held: " "
state: 0x001D 2 "LCtrl"
state: 0x001E 4 "A"
OUT
# Caps Lock moved onto Left Ctrl: its presses refresh the Caps Lock lamp.
printf '\0\0\0\0\0\0\0\0\2\0\0\0\35\0\72\0\0\0\0\0' > "$work/caps-on-ctrl.bin"

"$cli" replay --scancode-map "$work/caps-on-ctrl.bin" --default "$work/chatter.trace" \
    > "$work/out" 2> "$work/err"
[ $? -eq 0 ] || fail "chatter replay exit status"
# The state lines follow layout order, which the built-in layout fixes; compare the rest
# exactly and the state lines as a set.
grep -v '^state:' "$work/out" > "$work/out.lines"
grep -v '^state:' "$work/expected" > "$work/expected.lines"
cmp -s "$work/out.lines" "$work/expected.lines" || { fail "chatter replay output"; diff "$work/expected.lines" "$work/out.lines"; }
[ "$(grep '^state:' "$work/out" | sort)" = "$(grep '^state:' "$work/expected" | sort)" ] ||
    fail "state lines: $(grep '^state:' "$work/out")"
[ ! -s "$work/err" ] || fail "unexpected standard error: $(cat "$work/err")"

# At threshold 7 the 7 ms re-press is no chatter; --fields adds the field writes.
"$cli" replay --threshold 7 --fields --default "$work/chatter.trace" > "$work/out7" ||
    fail "threshold 7 exit status"
grep -q '^fault:' "$work/out7" && fail "chatter at threshold 7"
grep -qx 'field: 1033 " 30 (0x1e)"' "$work/out7" || fail "no BIOS code field with --fields"
grep -q '^field:' "$work/out" && fail "field lines without --fields"

# --trace: the decoding's and the engine's messages on standard error.
"$cli" replay --trace --default "$work/chatter.trace" > /dev/null 2> "$work/trace" ||
    fail "trace exit status"
grep -q 'OnInput():  Scan code 0x1e, Down, Virtual key 0x41.' "$work/trace" || fail "no decoding trace"
grep -q '>>> Fault detected, key depressed 7ms after release.' "$work/trace" || fail "no fault trace"

# A malformed line stops the run before anything is replayed.
printf '1 0x1E 0 0x41\n\n2 0x1E zz 0x41\n' > "$work/bad.trace"
"$cli" replay --default "$work/bad.trace" > "$work/bad.out" 2> "$work/bad.err"
[ $? -eq 2 ] || fail "malformed trace exit status"
[ ! -s "$work/bad.out" ] || fail "output before a malformed line"
grep -q '^line 3: FLAGS "zz"' "$work/bad.err" || fail "malformed line message: $(cat "$work/bad.err")"

# A layout that does not load falls back to the built-in one.
printf 'not a layout\n' > "$work/broken.kbl"
"$cli" replay --layout "$work/broken.kbl" "$work/chatter.trace" > "$work/fallback" ||
    fail "fallback exit status"
[ "$(head -n 1 "$work/fallback")" = "status: Invalid layout!  Default Loaded" ] ||
    fail "fallback status: $(head -n 1 "$work/fallback")"
grep -qx 'status: Invalid layout!  Default Active' "$work/fallback" || fail "fallback active status"

# Usage errors.
for args in "" "--default" "--default --layout x $work/chatter.trace" \
    "--threshold -1 --default $work/chatter.trace" "--threshold 4294967296 --default $work/chatter.trace" \
    "--bogus --default $work/chatter.trace" "--default $work/missing.trace" \
    "--scancode-map $work/missing.bin --default $work/chatter.trace"; do
    # shellcheck disable=SC2086
    "$cli" replay $args > /dev/null 2>&1
    [ $? -eq 2 ] || fail "exit status of: replay $args"
done
"$cli" replay --threshold 4000000000 --default "$work/chatter.trace" | grep -c '^fault:' |
    grep -qx 2 || fail "threshold 4000000000 should flag both re-presses"

# Summary and report files: the summary line follows the state lines; both files are written
# by the program's report writers; a file that cannot be written leaves nothing behind.
out=$("$cli" replay --summary --report "$work/r.html" --csv "$work/r.csv" --default \
    "$work/chatter.trace") || fail "report replay exit status"
[ "$(printf '%s\n' "$out" | tail -n 1)" = \
    "summary: keys 104 tested 2 untested 102 faulty 1 chatter 1 extra 0 rollover 1" ] ||
    fail "summary line: $(printf '%s\n' "$out" | tail -n 1)"
printf '%s\n' "$out" | tail -n 2 | head -n 1 | grep -q '^state: ' || fail "summary before the states"
head -c 3 "$work/r.csv" | od -An -tx1 | grep -q 'ef bb bf' || fail "CSV byte-order mark"
grep -q "$(printf '^0x001E,A,A,yes,faulty,3,1,7.00,92.00,100.00\r$')" "$work/r.csv" || fail "CSV row of A"
[ "$(grep -c "$(printf '\r$')" "$work/r.csv")" -eq 105 ] || fail "CSV rows with CR LF"
grep -q 'FAIL: 1 faulty, 102 untested' "$work/r.html" || fail "HTML verdict"
grep -q '<svg' "$work/r.html" || fail "HTML keyboard picture"
"$cli" replay --csv "$work/no/such/folder/r.csv" --report "$work/r2.html" --default \
    "$work/chatter.trace" > /dev/null 2> "$work/err"
[ $? -eq 1 ] || fail "exit status of an unwritable report"
grep -q 'cannot write' "$work/err" || fail "message of an unwritable report"
[ ! -e "$work/r2.html" ] || fail "a report half-written: the HTML file was left"
[ -z "$(find "$work" -name '*.tmp')" ] || fail "temporary files left behind"
# Replacing an earlier report whose CSV name is taken by a folder: the earlier HTML stays as
# it was, and the message says nothing was written.
printf 'earlier report\n' > "$work/r3.html"
mkdir "$work/r3.csv"
"$cli" replay --report "$work/r3.html" --csv "$work/r3.csv" --default "$work/chatter.trace" \
    > /dev/null 2> "$work/err"
[ $? -eq 1 ] || fail "exit status of a report whose CSV is a folder"
grep -q 'nothing was written' "$work/err" || fail "message of a report whose CSV is a folder"
[ "$(cat "$work/r3.html")" = "earlier report" ] || fail "the earlier HTML was replaced"
[ -d "$work/r3.csv" ] || fail "the folder in the CSV's place was moved"
[ -z "$(find "$work" -name '*.tmp' -o -name '*.old')" ] || fail "spare files left behind"
"$cli" replay --report > /dev/null 2>&1
[ $? -eq 2 ] || fail "--report without FILE"

# --plan: the trace judged as one unit. The plan's layout is found beside the plan; Space must
# be pressed twice, Menu is skipped, and two keys must go down together.
mkdir "$work/plans"
cat > "$work/plans/board.kbl" <<'KBL'
Bench board
R1, 0x1E, "A", "A", 1
R1, 0x30, "B", "B", 1
R1, 0x39, "Space", "Space", 1
R1, 0xE05D, "Menu", "Menu", 1
KBL
cat > "$work/plans/board.plan.json" <<'PLAN'
{"name": "Bench board", "layout": "board.kbl", "keys": {"0x0039": {"presses": 2}},
 "skip": ["0xE05D"], "min_rollover": 2}
PLAN
cat > "$work/unit.trace" <<'TRACE'
1000 0x1E 0 0x41
1010 0x30 0 0x42
1020 0xFF 0 0xFF    # the keyboard's overflow code: a red line, no key
1030 0xFF 1 0xFF    # its break writes nothing
1100 0x1E 1 0x41
1110 0x30 1 0x42
1200 0x39 0 0x20
1300 0x39 1 0x20
TRACE
"$cli" replay --plan "$work/plans/board.plan.json" "$work/unit.trace" > "$work/plan.out" \
    2> "$work/err" || fail "plan replay exit status"
grep -qx 'fault: ROLLOVER OVERFLOW with 2 keys held' "$work/plan.out" || fail "no overflow line"
grep -q 'BIOS 0xFF' "$work/plan.out" && fail "the overflow code logged as a key"
grep -qx 'state: 0xE05D 5 "Menu"' "$work/plan.out" || fail "Menu not skipped"
[ "$(tail -n 3 "$work/plan.out")" = "$(printf '%s\n' \
    'summary: keys 3 tested 3 untested 0 faulty 0 chatter 0 extra 0 rollover 2' \
    'verdict: FAIL' 'reason: Space pressed 1 of 2 times')" ] ||
    fail "plan verdict: $(tail -n 3 "$work/plan.out")"
[ "$(grep -c '^status:' "$work/plan.out")" -eq 2 ] || fail "status lines with a plan"
# Space again: the unit passes by itself, and the exit status is 0 either way.
printf '1400 0x39 0 0x20\n1500 0x39 1 0x20\n' >> "$work/unit.trace"
"$cli" replay --plan "$work/plans/board.plan.json" "$work/unit.trace" | tail -n 1 |
    grep -qx 'verdict: PASS' || fail "passing unit"
# The plan's layout unless --default or --layout names another.
"$cli" replay --plan "$work/plans/board.plan.json" --default "$work/unit.trace" |
    grep -qx 'reason: Esc, F1, F2, F3, F4, F5, F6, F7 and 92 more untested' ||
    fail "--default with a plan"
# A bad plan, or one whose layout cannot be loaded: exit 2, the reason on standard error.
printf '{"layout": "board.kbl",\n "presses": 0}\n' > "$work/plans/bad.plan.json"
"$cli" replay --plan "$work/plans/bad.plan.json" "$work/unit.trace" > "$work/out" 2> "$work/err"
[ $? -eq 2 ] || fail "bad plan exit status"
[ ! -s "$work/out" ] || fail "output for a bad plan"
grep -qx 'tapwise-cli replay: bad.plan.json: line 2, column 13: presses: must be a whole number from 1 to 1000' \
    "$work/err" || fail "bad plan message: $(cat "$work/err")"
printf '{"layout": "gone.kbl"}\n' > "$work/plans/gone.plan.json"
"$cli" replay --plan "$work/plans/gone.plan.json" "$work/unit.trace" > "$work/out" 2> "$work/err"
[ $? -eq 2 ] || fail "missing plan layout exit status"
grep -q 'gone.kbl' "$work/err" || fail "missing plan layout message: $(cat "$work/err")"
"$cli" replay --plan "$work/plans/none.plan.json" "$work/unit.trace" > /dev/null 2>&1
[ $? -eq 2 ] || fail "missing plan exit status"

[ "$failures" -eq 0 ] && echo "replay CLI: all checks passed"
exit "$failures"
