#!/usr/bin/env bash
# Bench mode with a plan for the 17-key keypad: a unit typed into the Unit box and ended with
# Enter, every keypad key pressed, and the unit passes by itself (green PASS banner, the four
# files named by unit, a bench.csv row); a second unit with one key left out and Finish fails
# (red banner naming the key, its own files and row); a third unit whose folder cannot be made
# is shown as not saved (orange). Screenshots of every banner.
# usage: e2e_bench.sh PATH/Tapwise.exe BUILD_DIR
. "$(dirname "$0")/tapwise-e2e.sh"
e2e_init e2e-bench "$1" "$2"
plans="$WINEPREFIX/drive_c/plans"
mkdir -p "$plans"
cp "$e2e_src/layouts/numpad_17.kbl" "$plans/"
# Num Lock is left out: Wine sends it as E0 45 and repeats it when the lock state syncs.
printf '{"name": "Keypad 17", "layout": "numpad_17.kbl", "skip": ["0x0045"], "time_limit_s": 300}\r\n' \
    >"$plans/keypad.plan.json"
e2e_settings "[Bench]" "Enabled=1" 'Plan=C:\plans\keypad.plan.json' 'OutputDirectory=C:\bench out'
out="$WINEPREFIX/drive_c/bench out"

keypad=(KP_Divide KP_Multiply KP_Subtract KP_7 KP_8 KP_9 KP_Add KP_4 KP_5 KP_6
    KP_1 KP_2 KP_3 KP_Enter KP_0 KP_Decimal)

# The banner's colour at its left edge, half way down, and its text.
banner_check() { # NAME COLOUR TEXT-PREFIX
    e2e_inspect
    e2e_shot "$1"
    local text
    text=$(e2e_text keyboard 1085)
    case $text in
    "$3"*) ;;
    *) e2e_fail "$1: banner reads '$text', expected '$3...'" ;;
    esac
    set -- "$1" "$2" $(e2e_rect keyboard 1085)
    [ $# -eq 6 ] || e2e_fail "$1: no banner"
    [ "$(e2e_pixel $(($3 + 4)) $((($4 + $6) / 2)))" = "$2" ] ||
        e2e_fail "$1: banner colour $(e2e_pixel $(($3 + 4)) $((($4 + $6) / 2))), expected $2"
}

e2e_start
trap 'cp -r "$out" "$WORK/" 2>/dev/null; e2e_cleanup' EXIT
banner_check e2e_bench_waiting 1c569e "Scan or type the unit"
[ "$(e2e_visible keyboard 1083)" = "1" ] || e2e_fail "no Unit box"
[ "$(e2e_visible keyboard 1084)" = "0" ] || e2e_fail "Finish shown with no unit under test"

# A scanner types the unit and ends it with Enter; the box has the focus from the start.
xdotool type --delay 60 "U123"
e2e_type Return
sleep 0.3
banner_check e2e_bench_testing 222222 "Testing U123: 0 / 16"
time_left=$(e2e_text keyboard 1086)
case $time_left in "Time left: 4:5"* | "Time left: 5:00") ;; *) e2e_fail "time left '$time_left'" ;; esac
[ "$(e2e_visible keyboard 1084)" = "1" ] || e2e_fail "no Finish button during the test"
# The scanner's Enter belongs to the Unit box, not to the unit's test.
[ -z "$(e2e_text keyboard 1031)" ] || e2e_fail "a key release logged at the start: $(e2e_text keyboard 1031)"
e2e_type "${keypad[@]}"
sleep 0.8
banner_check e2e_bench_pass 128a30 "PASS - U123 saved as U123_"

base=$(cd "$out" && ls U123_*.html 2>/dev/null | head -n 1)
base=${base%.html}
[ -n "$base" ] || e2e_fail "no report of U123 in $out: $(ls "$out" 2>&1)"
for ext in html csv log trace; do
    [ -s "$out/$base.$ext" ] || e2e_fail "no $base.$ext"
done
csv="$out/bench.csv"
head -c 3 "$csv" | od -An -tx1 | grep -q 'ef bb bf' || e2e_fail "bench.csv without byte-order mark"
head -n 1 "$csv" | tail -c +4 | grep -q "^Date,Time,Unit,Plan,Layout,Verdict,Tested,Required,Faulty keys,Untested keys,Chatter events,Rollover,Overflow,Duration (s),Report"$'\r'"$" ||
    e2e_fail "bench.csv header"
grep -qE "^[0-9-]{10},[0-9:]{8},U123,Keypad 17,numpad_17.kbl,PASS,16,16,,,[0-9]+,[0-9]+,0,[0-9]+,$base.html"$'\r'"$" "$csv" ||
    e2e_fail "bench.csv row of U123: $(cat "$csv")"

# The next unit: the Unit box has the focus again; Num . is left out and Finish ends the test.
xdotool type --delay 60 "U124"
e2e_type Return
sleep 0.3
e2e_type "${keypad[@]:0:15}"
sleep 0.3
e2e_inspect
e2e_click keyboard 1084
sleep 0.8
banner_check e2e_bench_fail c41c1c "FAIL: Num . untested - U124 saved as U124_"
[ "$(grep -c '^[0-9-]\{10\},' "$csv")" = "2" ] || e2e_fail "bench.csv has not two rows"
grep -qE ",U124,Keypad 17,numpad_17.kbl,FAIL,15,16,,Num \.,[0-9]+,[0-9]+,0,[0-9]+,U124_[0-9-]+\.html"$'\r'"$" "$csv" ||
    e2e_fail "bench.csv row of U124: $(cat "$csv")"
[ "$(ls "$out" | grep -c '^U124_')" = "4" ] || e2e_fail "not four files of U124: $(ls "$out")"

# A folder that cannot be made (a file stands in its place): the operator sees the unit was not
# saved, and nothing written before is touched.
mv "$out" "$out.kept"
: >"$out"
xdotool type --delay 60 "U125"
e2e_type Return
sleep 0.3
e2e_inspect
e2e_click keyboard 1084
sleep 0.8
banner_check e2e_bench_not_saved c41c1c "FAIL: "
set -- $(e2e_rect keyboard 1085)
[ "$(e2e_pixel $(($1 + 4)) $(($4 - 3)))" = "e68200" ] || e2e_fail "the problem is not marked orange"
case $(e2e_text keyboard 1085) in
*"U125: NOT SAVED: "*"C:\bench out"*) ;;
*) e2e_fail "the banner does not say that U125 was not saved: $(e2e_text keyboard 1085)" ;;
esac
rm "$out"
mv "$out.kept" "$out"
[ "$(grep -c '^[0-9-]\{10\},' "$csv")" = "2" ] || e2e_fail "bench.csv changed"
[ "$(ls "$out" | grep -c '^U12[34]_')" = "8" ] || e2e_fail "earlier files changed: $(ls "$out")"

e2e_close
[ "$EXIT_CODE" = "1069" ] || e2e_fail "exit code '$EXIT_CODE', expected 1069"
echo "$E2E_NAME: ok (screenshots $BUILD/e2e_bench_*.png)"
