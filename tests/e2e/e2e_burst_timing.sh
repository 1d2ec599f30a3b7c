#!/usr/bin/env bash
# Key times in a burst are the keyboard's, not the page's handling: keys sent with no delay at
# all (A S D F A, then a plain A A) make the second A a chatter under the default 8 ms
# threshold, and every press and release is in the log. The keys come from another program
# through SendInput, the road a keyboard's input takes; under Wine, keys typed on the X display
# are read by the thread that owns the window and take its time.
# usage: e2e_burst_timing.sh PATH/Tapwise.exe BUILD_DIR
. "$(dirname "$0")/tapwise-e2e.sh"
e2e_init e2e-burst-timing "$1" "$2"
e2e_tool "$BUILD/e2e-tools/send_keys.exe" "$e2e_src/tools/send_keys.c" "" \
    x86_64-w64-mingw32-gcc -O2 || e2e_fail "cannot build tools/send_keys.c"

send_keys() {
    wine "$BUILD/e2e-tools/send_keys.exe" "$@" || e2e_fail "send_keys $*"
}

# The interval of the chatter line of A, or nothing.
chatter_interval() {
    sed -n 's/^A (0x41, BIOS 0x1E) CHATTER DETECTED -> \([0-9]*\)ms$/\1/p' "$1" | head -n 1
}

e2e_start
send_keys a s d f a
sleep 1
e2e_log_lines "$WORK/roll.txt"
[ "$(grep -c ' DOWN$' "$WORK/roll.txt")" = 5 ] || e2e_fail "not five DOWN lines: $(cat "$WORK/roll.txt")"
[ "$(grep -c ' UP -> ' "$WORK/roll.txt")" = 5 ] || e2e_fail "not five UP lines: $(cat "$WORK/roll.txt")"
interval=$(chatter_interval "$WORK/roll.txt")
[ -n "$interval" ] && [ "$interval" -lt 8 ] ||
    e2e_fail "the second A is no chatter under 8 ms: $(cat "$WORK/roll.txt")"

e2e_inspect
e2e_click keyboard 1023
xdotool windowfocus --sync "$WINDOW"
sleep 0.3
send_keys a a
sleep 1
e2e_log_lines "$WORK/double.txt"
interval=$(chatter_interval "$WORK/double.txt")
[ -n "$interval" ] && [ "$interval" -lt 8 ] ||
    e2e_fail "A A is no chatter under 8 ms: $(cat "$WORK/double.txt")"
e2e_shot e2e_burst_timing

e2e_close
[ "$EXIT_CODE" = "1069" ] || e2e_fail "exit code '$EXIT_CODE', expected 1069"
echo "$E2E_NAME: ok (A S D F A: second A $(chatter_interval "$WORK/roll.txt") ms; A A: $interval ms)"
