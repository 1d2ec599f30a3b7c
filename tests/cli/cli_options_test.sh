#!/usr/bin/env bash
# tapwise-cli's command line as a user meets it: the help of the program and of each command,
# usage errors (exit 2, a message naming the command, nothing on standard output), and the
# replay's report files that must not overwrite each other or the trace.
# usage: cli_options_test.sh TAPWISE_CLI
set -u
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The program's help names every command and every command's options; each command's own
# help names its options.
"$cli" --help >help.txt 2>&1 || fail "--help exit status"
for word in bench-summary import layout replay settings --version --threshold --key-size --scancode-map \
    --fields --trace --summary --report --csv --default --layout --keymap --name -o --save \
    '--text FILE' --html --layouts; do
    grep -q -- "$word" help.txt || fail "--help does not mention '$word'"
done
for options in "bench-summary --html --layouts" "import --name --layout --keymap -o" "layout --key-size --trace --default --text" \
    "replay --threshold --key-size --scancode-map --fields --trace --summary --report --csv --default --layout --plan" \
    "settings --save"; do
    set -- $options
    command=$1
    shift
    "$cli" "$command" --help >"$command.help" 2>&1 || fail "$command --help exit status"
    "$cli" "$command" -h | cmp -s - "$command.help" || fail "$command -h differs from --help"
    head -n 1 "$command.help" | grep -q "^usage: tapwise-cli $command " ||
        fail "$command --help: first line $(head -n 1 "$command.help")"
    for option in "$@"; do
        grep -q -- "^ *$option " "$command.help" || fail "$command --help does not list $option"
    done
done

# No arguments: the help on standard error, exit 2.
"$cli" >out 2>err
[ $? -eq 2 ] || fail "no arguments: exit status"
[ -s out ] && fail "no arguments: standard output written"
grep -q '^usage: tapwise-cli' err || fail "no arguments: no usage on standard error"

# Usage errors: exit 2, one message naming the command, nothing on standard output.
# A re-pressed 50 ms after its release: chatter at a threshold above 50.
printf '1000 0x1E 0 0x41\n1100 0x1E 1 0x41\n1150 0x1E 0 0x41\n1200 0x1E 1 0x41\n' >a.trace
printf '[Tapwise]\n' >settings.ini
usage_error() { # command args...
    "$cli" "$@" >out 2>err
    status=$?
    [ "$status" -eq 2 ] || fail "'$*': exit status $status"
    [ -s out ] && fail "'$*': standard output written"
    grep -q "^tapwise-cli $1: " err || fail "'$*': message: $(cat err)"
}
usage_error import --bogus in.json
usage_error import in.json --name
usage_error import --keymap -o x.kbl in.json
usage_error layout --default --trace --bogus
usage_error layout --default --key-size
usage_error layout --default --key-size 1e3
usage_error layout --text
usage_error replay --default a.trace --layout
usage_error replay --default a.trace --threshold
usage_error replay --default a.trace --threshold 0x10
usage_error replay --default a.trace --report
usage_error replay --default a.trace --csv ''
usage_error replay --default a.trace --scancode-map
usage_error replay --default a.trace -x
usage_error settings --save
usage_error bench-summary --html
usage_error bench-summary --layouts '' bench.csv
usage_error settings --bogus settings.ini
usage_error settings settings.ini settings.ini
# A word that names another command is an argument of the first, not a second command.
usage_error import in.json layout
"$cli" --bogus >/dev/null 2>&1
[ $? -eq 2 ] || fail "an unknown option before a command does not exit 2"

# "--" ends the options; a repeated option takes its last value; --opt=VALUE works.
cp settings.ini ./-dash.ini
"$cli" settings -- -dash.ini >out 2>&1 || fail "settings -- -dash.ini: $(cat out)"
"$cli" replay --default --threshold 200 --threshold 8 a.trace >out || fail "repeated --threshold"
grep -q '^fault:' out && fail "repeated --threshold: the first value was used"
"$cli" replay --default --threshold=200 -- a.trace >out || fail "--threshold=200 -- TRACE"
grep -q '^fault:' out || fail "--threshold=200: no chatter flagged"

# --report and --csv naming one file, however spelled, is a usage error and writes nothing.
mkdir sub
ln -s sub link
for pair in "r.out r.out" "r.out ./r.out" "r.out sub/../r.out" "sub/r.out link/r.out" \
    "$work/r.out r.out"; do
    set -- $pair
    usage_error replay --default --report "$1" --csv "$2" a.trace
    grep -q -- '--report and --csv' err || fail "same report file '$pair': message $(cat err)"
    [ -z "$(find . -name '*.out')" ] || fail "same report file '$pair': a file was written"
done
# Nor may a report file overwrite the trace or the layout it replays.
cp a.trace before.trace
usage_error replay --default --csv ./a.trace a.trace
cmp -s a.trace before.trace || fail "the trace was overwritten"
printf 'Tiny\nR1, 0x1E, "A", "A", 1\n' >tiny.kbl
usage_error replay --layout tiny.kbl --report tiny.kbl a.trace
grep -q '^R1, 0x1E' tiny.kbl || fail "the layout was overwritten"
# Two different files still work.
"$cli" replay --default --report sub/r.html --csv r.csv a.trace >/dev/null ||
    fail "two different report files"
[ -s sub/r.html ] && [ -s r.csv ] || fail "report files not written"

[ "$failures" -eq 0 ] && echo "cli options: all checks passed"
exit "$failures"
