#!/usr/bin/env bash
# tapwise-cli import from the outside: output, standard error lines and exit codes.
# usage: cli_import_test.sh TAPWISE_CLI
set -u
cli=$1
data=$(cd "$(dirname "$0")" && pwd)/import
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

# KLE to standard output, then to a file: the same text, and the layout loads.
"$cli" import "$data/kle_ansi_104.json" >"$work/out.kbl" 2>"$work/err"; status=$?
check "kle status" 0 "$status"
check "kle header" "104 Key ANSI,4" "$(head -1 "$work/out.kbl")"
check "kle summary" 'imported "104 Key ANSI": 104 keys, 0 left blank' "$(cat "$work/err")"
"$cli" import "$data/kle_ansi_104.json" -o "$work/file.kbl" 2>/dev/null; status=$?
check "-o status" 0 "$status"
check "-o same text" "" "$(cmp "$work/out.kbl" "$work/file.kbl" 2>&1)"
check "loads" "result: loaded" "$("$cli" layout "$work/file.kbl" | sed -n 2p)"

# QMK with a keymap: the layer key is named on standard error and left blank.
"$cli" import --name "My 65" --keymap "$data/qmk_65_keymap.c" "$data/qmk_65_info.json" \
    -o "$work/q.kbl" 2>"$work/err"; status=$?
check "qmk status" 0 "$status"
check "qmk stderr" "no scan code for 'MO(1)' at (11, 4): left blank
imported \"My 65\": 67 keys, 1 left blank" "$(cat "$work/err")"
check "qmk name" "My 65,4" "$(head -1 "$work/q.kbl")"
"$cli" import --layout NOPE "$data/qmk_65_info.json" >/dev/null 2>"$work/err"; status=$?
check "unknown layout status" 1 "$status"
check "unknown layout" "tapwise-cli import: $data/qmk_65_info.json: no layout named 'NOPE'; the layouts are: LAYOUT_65_ansi, LAYOUT_65_ansi_split_bs" "$(cat "$work/err")"

# Input that cannot be used: exit 1 with the reason, nothing on standard output.
printf '[["A",\n  "B" "C"]]' >"$work/bad.json"
out=$("$cli" import "$work/bad.json" 2>"$work/err"); status=$?
check "bad json status" 1 "$status"
check "bad json output" "" "$out"
check "bad json reason" "tapwise-cli import: $work/bad.json: invalid JSON at line 2, column 9: syntax error while parsing array - unexpected string literal; expected ']'" "$(cat "$work/err")"
head -c 10485760 /dev/zero | tr '\0' ' ' >"$work/big.json"
"$cli" import "$work/big.json" >/dev/null 2>"$work/err"; status=$?
check "10 MB status" 1 "$status"
check "10 MB reason" "tapwise-cli import: $work/big.json: the file is larger than 1024 KB; keyboard descriptions are far smaller" "$(cat "$work/err")"
"$cli" import "$work/missing.json" >/dev/null 2>&1; check "missing input" 1 "$?"
"$cli" import --keymap "$data/qmk_65_keymap.c" "$data/kle_ansi_104.json" >/dev/null 2>&1
check "keymap with KLE" 1 "$?"
"$cli" import "$data/kle_ansi_104.json" -o "$work/no/such/folder/x.kbl" 2>/dev/null
check "unwritable output" 1 "$?"

# No key with a scan code: exit 1, and no layout file is written.
printf '[["foo","bar"]]' >"$work/nokeys.json"
"$cli" import "$work/nokeys.json" -o "$work/nokeys.kbl" 2>"$work/err"; status=$?
check "no keys status" 1 "$status"
check "no keys reason" "tapwise-cli import: $work/nokeys.json: no key of the input has a scan code (2 keys, none known by its label or keycode)" "$(cat "$work/err")"
check "no keys nothing written" "no" "$([ -e "$work/nokeys.kbl" ] && echo yes || echo no)"

# A QMK revision without labels: its default keymap in the keyboard's folder, saying so,
# and the keyboard's name from the folders; without a keymap, what to give.
board="$work/keyboards/tiny/rev1"
mkdir -p "$board" "$work/keyboards/tiny/keymaps/default"
printf '{"layouts": {"LAYOUT": {"layout": [{"x": 0, "y": 0}, {"x": 1, "y": 0}]}}}' >"$board/keyboard.json"
"$cli" import "$board/keyboard.json" -o "$work/tiny.kbl" 2>"$work/err"; status=$?
check "no labels, no keymap status" 1 "$status"
check "no labels, no keymap" "tapwise-cli import: $board/keyboard.json: the layout has no labels: give its keymap with --keymap (keymaps/default/keymap.json or keymap.c)" "$(cat "$work/err")"
printf 'const uint16_t keymaps[][1][2] = {\
  [0] = LAYOUT(KC_A, \
  KC_B)};
' >"$work/keyboards/tiny/keymaps/default/keymap.c"
"$cli" import "$board/keyboard.json" -o "$work/tiny.kbl" 2>"$work/err"; status=$?
check "default keymap status" 0 "$status"
check "default keymap stderr" "the layout has no labels: using the default keymap $work/keyboards/tiny/keymaps/default/keymap.c
imported \"tiny rev1 LAYOUT\": 2 keys, 0 left blank" "$(cat "$work/err")"
mkdir -p "$work/keyboards/tiny/rev1/büro"
cp "$board/keyboard.json" "$work/keyboards/tiny/rev1/büro/keyboard.json"
"$cli" import "$work/keyboards/tiny/rev1/büro/keyboard.json" 2>"$work/err" | head -1 >"$work/out"
check "non-ASCII folder" "tiny rev1 büro LAYOUT,4" "$(cat "$work/out")"

# Usage errors: exit 2.
"$cli" import >/dev/null 2>&1; check "no input" 2 "$?"
"$cli" import --frobnicate "$data/kle_ansi_104.json" >/dev/null 2>&1; check "unknown option" 2 "$?"
"$cli" import "$data/kle_ansi_104.json" --keymap >/dev/null 2>&1; check "option without value" 2 "$?"
"$cli" import a.json b.json >/dev/null 2>&1; check "two inputs" 2 "$?"
"$cli" import --help >/dev/null 2>&1; check "help" 0 "$?"
# -o naming an input (by another spelling) is refused and the input is kept as it was.
cp "$data/kle_ansi_104.json" "$work/own.json"
(cd "$work" && "$cli" import own.json -o "./sub/../own.json" >/dev/null 2>"$work/err")
check "output over the input" 2 "$?"
cmp -s "$data/kle_ansi_104.json" "$work/own.json"; check "input kept" 0 "$?"
mkdir -p "$work/km"
printf '{"layout": "LAYOUT", "layers": [["KC_A"]]}' >"$work/km/keymap.json"
"$cli" import "$data/qmk_65_info.json" --keymap "$work/km/keymap.json" \
    -o "$work/km/keymap.json" >/dev/null 2>&1
check "output over the keymap" 2 "$?"

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "cli import: all checks passed"
