#!/usr/bin/env bash
# tapwise-cli layout from the outside: output lines, escaping, traces and exit codes.
# usage: cli_layout_test.sh TAPWISE_CLI
set -u
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # name expected actual
    if [ "$2" != "$3" ]; then
        echo "FAIL $1"
        echo "  expected: $(printf '%q' "$2")"
        echo "  actual:   $(printf '%q' "$3")"
        failures=$((failures + 1))
    fi
}

# The default layout.
out=$("$cli" layout --default 2>"$work/err"); status=$?
check "default status" 0 "$status"
check "default head" "name: 104 Key ANSI
result: loaded
keys: 104
size: 828x234
pause: yes
break: no
key: 0x0001 0 0 36 36 0 0 \"Esc\" \"Esc\"" "$(printf '%s\n' "$out" | head -7)"
check "default key lines" 104 "$(printf '%s\n' "$out" | grep -c '^key: ')"
check "default keyname lines" 127 "$(printf '%s\n' "$out" | grep -c '^keyname: ')"
check "two-row key" 'key: 0x004E 792 90 828 162 1 36 "+" "Num +"' "$(printf '%s\n' "$out" | grep '^key: 0x004E')"
check "escaped label" 'key: 0x002B 486 90 540 126 0 0 "\\ |" "\\"' "$(printf '%s\n' "$out" | grep '^key: 0x002B')"
check "line break label" 'key: 0xE037 558 0 594 36 0 0 "Print\nScrn" "Print Screen"' "$(printf '%s\n' "$out" | grep '^key: 0xE037')"
check "quote label" "key: 0x0028 423 126 459 162 0 0 \"' \\\"\" \"'\"" "$(printf '%s\n' "$out" | grep '^key: 0x0028')"
check "keyname order" 'keyname: 0x0001 "Esc"' "$(printf '%s\n' "$out" | grep '^keyname: ' | head -1)"
check "keyname last" 'keyname: 0xE11D "Pause"' "$(printf '%s\n' "$out" | grep '^keyname: ' | tail -1)"
check "quiet without trace" "" "$(cat "$work/err")"

# Key sizes: below 10 becomes 10.
check "key size 5" "size: 230x65" "$("$cli" layout --key-size 5 --default | sed -n 4p)"
check "key size 1000000" "size: 23000000x6500000" "$("$cli" layout --default --key-size 1000000 | sed -n 4p)"

# A file that fails part-way: trace, partial keys, no key names, status 1.
printf 'Bad, 4\r\nR1, 0x01, "a\x01", "b", 1\r\nR1, 0x02, "c", "d"\r\n' >"$work/bad.kbl"
out=$("$cli" layout --trace "$work/bad.kbl" 2>"$work/err"); status=$?
check "failed status" 1 "$status"
check "failed output" 'name: Bad
result: failed
keys: 1
size: 0x0
pause: no
break: no
key: 0x0001 0 0 36 36 0 0 "a\x01" "b"' "$out"
check "failed trace" "Loading keyboard layout \"$work/bad.kbl\"...
Invalid line, wrong number of fields.
   Error:  Line 3 invalid." "$(cat "$work/err")"

# The text loader on the same file: every CR and LF ends a line.
out=$("$cli" layout --trace --text "$work/bad.kbl" 2>"$work/err"); status=$?
check "text status" 1 "$status"
check "text trace" 'Loading keyboard layout from string...
Invalid line, wrong number of fields.
   Error:  Line 4 invalid (length 18, "R1, 0x02, "c", "d"").' "$(cat "$work/err")"

# A key that cannot be drawn: loaded, and named in the trace.
printf 'Gaps\nR1, 0x01, "a", "a", 1\nR1, 0x02, "b", "b", 0\n' >"$work/gaps.kbl"
out=$("$cli" layout --trace "$work/gaps.kbl" 2>"$work/err"); status=$?
check "undrawable status" 0 "$status"
check "undrawable trace" "Loading keyboard layout \"$work/gaps.kbl\"...
   Key 2 (0x0002) cannot be drawn: its rectangle (36, 0, 36, 36) is empty." "$(cat "$work/err")"
check "undrawable key kept" 'key: 0x0002 36 0 36 36 0 0 "b" "b"' "$(printf '%s\n' "$out" | grep '^key: 0x0002')"

# Header only: the load reaches the end, so the key names are printed.
printf 'Empty\n' >"$work/empty.kbl"
out=$("$cli" layout "$work/empty.kbl"); status=$?
check "empty status" 1 "$status"
check "empty keynames" 127 "$(printf '%s\n' "$out" | grep -c '^keyname: ')"

# A missing file: the file loader fails (1); the text mode cannot read it (2).
"$cli" layout "$work/missing.kbl" >/dev/null 2>&1
check "missing file" 1 "$?"
"$cli" layout --text "$work/missing.kbl" >/dev/null 2>"$work/err"
check "missing text" 2 "$?"
check "missing text message lines" 1 "$(wc -l <"$work/err")"

# Usage errors.
for bad in "" "--key-size" "--key-size x --default" "--default extra.kbl" "--text" "--bogus --default"; do
    # shellcheck disable=SC2086
    "$cli" layout $bad >/dev/null 2>&1
    check "usage '$bad'" 2 "$?"
done
"$cli" layout --help | grep -q 'keyname: 0x<code>'
check "layout help" 0 "$?"
"$cli" --help | grep -q -- '--text FILE'
check "main help" 0 "$?"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
