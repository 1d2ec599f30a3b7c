#!/usr/bin/env bash
# Typing a few keys: they turn the Pressed colour, the status turns "Active", and Save writes
# exactly their DOWN and UP lines as UTF-16LE into 00001.log of the log folder. Typing into the
# sequence-number box changes the box and adds no event-log lines; after leaving it, keys are
# logged again.
# usage: e2e_typing.sh PATH/Tapwise.exe BUILD_DIR
. "$(dirname "$0")/tapwise-e2e.sh"
e2e_init e2e-typing "$1" "$2"

e2e_start
e2e_type a s d
sleep 0.3
e2e_inspect
e2e_shot e2e_typing
for code in 0x001E 0x001F 0x0020; do
    point=$(e2e_key_point $code) || exit 1
    colour=$(e2e_pixel $point)
    [ "$colour" = "a0ffa0" ] || e2e_fail "key $code is $colour, not the Pressed colour"
done
point=$(e2e_key_point 0x0021) || exit 1
[ "$(e2e_pixel $point)" = "a0a0a0" ] || e2e_fail "the untouched F key is $(e2e_pixel $point)"
[ "$(e2e_text keyboard 1069)" = "Active" ] || e2e_fail "status reads '$(e2e_text keyboard 1069)'"
[ "$(e2e_text keyboard 1030)" = " D" ] || e2e_fail "Last Key Down reads '$(e2e_text keyboard 1030)'"
[ "$(e2e_text keyboard 1032)" = " 68 (0x44)" ] || e2e_fail "Win Code reads '$(e2e_text keyboard 1032)'"

e2e_click keyboard 1007
e2e_inspect
[ "$(e2e_text keyboard 1071)" = "Log saved" ] || e2e_fail "log status reads '$(e2e_text keyboard 1071)'"
[ "$(e2e_text keyboard 1003)" = "00002" ] || e2e_fail "sequence number reads '$(e2e_text keyboard 1003)'"
saved="$APPDATA_DIR/Quillmark/log/00001.log"
[ -f "$saved" ] || e2e_fail "no 00001.log in the log folder"
[ "$(head -c 2 "$saved" | od -An -tx1 | tr -d ' ')" != "fffe" ] || e2e_fail "the log starts with a BOM"
iconv -f UTF-16LE -t UTF-8 "$saved" >"$WORK/saved.txt" || e2e_fail "the log is not UTF-16LE"
[ "$(tail -c 1 "$WORK/saved.txt" | od -An -tx1 | tr -d ' ')" != "0a" ] || e2e_fail "the log ends in a line break"
tr -d '\r' <"$WORK/saved.txt" | sed -E 's/^[0-9]{2}:[0-9]{2}\.[0-9]{4} //; s/-> [0-9]+ms$/-> Nms/' \
    >"$WORK/lines.txt"
printf '%s\n' "A (0x41, BIOS 0x1E) DOWN" "A (0x41, BIOS 0x1E) UP -> Nms" \
    "S (0x53, BIOS 0x1F) DOWN" "S (0x53, BIOS 0x1F) UP -> Nms" \
    "D (0x44, BIOS 0x20) DOWN" "D (0x44, BIOS 0x20) UP -> Nms" >"$WORK/expected.txt"
# The file has no final line break; diff compares the lines.
echo >>"$WORK/lines.txt"
diff "$WORK/expected.txt" "$WORK/lines.txt" >&2 || e2e_fail "the saved log differs"
[ "$(grep -c $'\r' "$WORK/saved.txt")" = 5 ] || e2e_fail "lines are not separated by CR LF"

# The sequence-number box takes digits while it has the focus; they are no key tests.
before=$(e2e_text keyboard 1005)
e2e_click keyboard 1003
xdotool key --delay 60 ctrl+a 7 4
sleep 0.3
e2e_inspect
[ "$(e2e_text keyboard 1003)" = "74" ] || e2e_fail "the box reads '$(e2e_text keyboard 1003)' after typing 74"
[ "$(e2e_text keyboard 1005)" = "$before" ] || e2e_fail "typing into the box added event-log lines"
# A click on the page background gives the focus back; keys are logged again.
set -- $(e2e_rect keyboard 1056)
xdotool mousemove $(($3 - 20)) $(($2 + 5)) click 1
sleep 0.3
e2e_type q
e2e_inspect
e2e_text keyboard 1005 | grep -q 'Q (0x51, BIOS 0x10) UP' || e2e_fail "Q was not logged after leaving the box"

e2e_close
[ "$EXIT_CODE" = "1069" ] || e2e_fail "exit code '$EXIT_CODE', expected 1069"
echo "$E2E_NAME: ok (screenshot $SHOT)"
