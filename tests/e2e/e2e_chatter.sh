#!/usr/bin/env bash
# Chatter: with ChatterThreshold=2000 in the settings file, a key pressed again soon after its
# release is flagged: a CHATTER DETECTED line in the event log and the key in the Alarm colour.
# usage: e2e_chatter.sh PATH/Tapwise.exe BUILD_DIR
. "$(dirname "$0")/tapwise-e2e.sh"
e2e_init e2e-chatter "$1" "$2"
e2e_settings "[Layout]" "ChatterThreshold=2000" "Alarm=(FF, 40, 40)"

e2e_start
e2e_type a a
sleep 0.3
e2e_inspect
e2e_shot e2e_chatter
e2e_text keyboard 1005 | sed 's/\\r\\n/\n/g' >"$WORK/log.txt"
grep -qE '^[0-9]{2}:[0-9]{2}\.[0-9]{4} A \(0x41, BIOS 0x1E\) CHATTER DETECTED -> [0-9]+ms' "$WORK/log.txt" ||
    e2e_fail "no CHATTER DETECTED line: $(cat "$WORK/log.txt")"
[ "$(grep -o 'CHATTER DETECTED' "$WORK/log.txt" | wc -l)" = 1 ] || e2e_fail "more than one chatter line"
point=$(e2e_key_point 0x001E) || exit 1
[ "$(e2e_pixel $point)" = "ff4040" ] || e2e_fail "key A is $(e2e_pixel $point), not the Alarm colour"
# The chatter line is red in the view.
set -- $(e2e_rect keyboard 1005)
convert "$SHOT" -crop $(($3 - $1))x$(($4 - $2))+$1+$2 +repage -format '%c' histogram:info: \
    >"$WORK/log-colours.txt"
grep -qi '#FF0000' "$WORK/log-colours.txt" || e2e_fail "no red text in the event log"

e2e_close
[ "$EXIT_CODE" = "1069" ] || e2e_fail "exit code '$EXIT_CODE', expected 1069"
echo "$E2E_NAME: ok (screenshot $SHOT)"
