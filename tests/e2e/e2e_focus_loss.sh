#!/usr/bin/env bash
# A key held while the window loses the focus to another window and released there is not
# left stuck: after the focus comes back, the key is no longer held, and its next press is a
# new DOWN line rather than a typematic repeat of the old hold. What is typed in the other
# window right after that release (other letters, and the same key again, in one burst) is
# the other program's: none of it reaches the log, the fields or the readout.
# Then the same in a window of another Windows program, whose keys do reach this program's raw
# input (in the background): a key held here and released there is released with its own time,
# and the letters typed there are in neither the log nor the report nor the recorded trace.
# usage: e2e_focus_loss.sh PATH/Tapwise.exe BUILD_DIR
. "$(dirname "$0")/tapwise-e2e.sh"
e2e_init e2e-focus-loss "$1" "$2"
e2e_tool "$BUILD/e2e-tools/wm_focus" "$e2e_src/tools/wm_focus.c" -lX11 cc -O2 ||
    e2e_fail "cannot build tools/wm_focus.c"
OTHER_PID=""
NOTE_PID=""
trap '[ -n "$OTHER_PID" ] && kill "$OTHER_PID" 2>/dev/null; [ -n "$NOTE_PID" ] && kill "$NOTE_PID" 2>/dev/null; e2e_cleanup' EXIT

e2e_diagnostics
e2e_start
xdotool keydown a
sleep 0.5

# A small window of another program takes the focus; A is released there.
xmessage -title tapwise-elsewhere -geometry 240x60+900+900 "elsewhere" &
OTHER_PID=$!
other=""
for _ in $(seq 1 100); do
    other=$(xdotool search --onlyvisible --name '^tapwise-elsewhere$' 2>/dev/null | head -n 1)
    [ -n "$other" ] && break
    sleep 0.1
done
[ -n "$other" ] || e2e_fail "the other window did not appear"
xdotool windowfocus --sync "$other" || e2e_fail "cannot focus the other window"
sleep 0.5
xdotool keyup a key --delay 0 a b c a
sleep 0.5

# Back to Tapwise as a window manager brings it back, and A pressed again.
"$BUILD/e2e-tools/wm_focus" "$WINDOW" || e2e_fail "cannot give Tapwise the focus again"
sleep 0.8
e2e_inspect
e2e_read_diagnostics # shown if a check fails
held=$(e2e_text keyboard 1054)
[ "$held" = " " ] || e2e_fail "held-keys line reads '$held' after coming back"
e2e_log_lines "$WORK/away.txt"
# One release of A (taken in the background, or found on return), nothing else.
[ "$(wc -l <"$WORK/away.txt")" = 2 ] && [ "$(head -n 1 "$WORK/away.txt")" = "A (0x41, BIOS 0x1E) DOWN" ] &&
    tail -n 1 "$WORK/away.txt" | grep -q '^A (0x41, BIOS 0x1E) UP' ||
    e2e_fail "log after typing elsewhere: $(tr '\n' '|' <"$WORK/away.txt")"
[ "$(e2e_text keyboard 1030)" = " A" ] || e2e_fail "last key down reads '$(e2e_text keyboard 1030)'"
e2e_type a
sleep 0.3
e2e_inspect
e2e_shot e2e_focus_loss
e2e_text keyboard 1005 | grep -o 'A (0x41, BIOS 0x1E) [A-Z ()]*[A-Z)]' >"$WORK/a-lines.txt"
downs=$(grep -c 'A (0x41, BIOS 0x1E) DOWN' "$WORK/a-lines.txt")
[ "$downs" = 2 ] || e2e_fail "$downs DOWN lines of A, expected 2: $(tr '\n' '|' <"$WORK/a-lines.txt")"
ups=$(grep -c 'A (0x41, BIOS 0x1E) UP' "$WORK/a-lines.txt")
[ "$ups" = 2 ] || e2e_fail "$ups UP lines of A, expected 2: $(tr '\n' '|' <"$WORK/a-lines.txt")"
e2e_log_lines "$WORK/all.txt"
! grep -q 'BIOS 0x30\|BIOS 0x2E' "$WORK/all.txt" || e2e_fail "B or C typed elsewhere was logged"
[ "$(e2e_text keyboard 1031)" = " A" ] || e2e_fail "last key up reads '$(e2e_text keyboard 1031)'"
point=$(e2e_key_point 0x001E) || exit 1
[ "$(e2e_pixel $point)" = "a0ffa0" ] || e2e_fail "A is $(e2e_pixel $point), not the Pressed colour"

# D held here, released in Notepad, and B C E typed there.
xdotool keydown d
sleep 0.3
wine notepad >/dev/null 2>&1 &
NOTE_PID=$!
note=""
for _ in $(seq 1 150); do
    note=$(xdotool search --onlyvisible --class 'notepad\.exe' 2>/dev/null | head -n 1)
    [ -n "$note" ] && break
    sleep 0.2
done
[ -n "$note" ] || e2e_fail "Notepad did not appear"
xdotool windowfocus --sync "$note" || e2e_fail "cannot focus Notepad"
sleep 0.5
xdotool keyup d
xdotool key --delay 40 b c e b
sleep 0.5
"$BUILD/e2e-tools/wm_focus" "$WINDOW" || e2e_fail "cannot give Tapwise the focus again"
sleep 0.8
e2e_inspect
e2e_log_lines "$WORK/notepad.txt"
grep -q '^D (0x44, BIOS 0x20) UP -> [0-9]*ms$' "$WORK/notepad.txt" ||
    e2e_fail "D released in Notepad has no UP line with its hold: $(tr '\n' '|' <"$WORK/notepad.txt")"
! grep -q 'BIOS 0x30\|BIOS 0x2E\|BIOS 0x12' "$WORK/notepad.txt" ||
    e2e_fail "letters typed in Notepad were logged: $(tr '\n' '|' <"$WORK/notepad.txt")"
e2e_click keyboard 1081
sleep 0.5
csv="$APPDATA_DIR/Quillmark/log/00001.csv"
[ -f "$csv" ] || e2e_fail "no report: $(ls "$APPDATA_DIR/Quillmark/log" 2>&1)"
cp "$csv" "$WORK/"
grep -q '^0x0020,D,D,yes,good,1,0,' "$csv" || e2e_fail "CSV row of D: $(grep '^0x0020' "$csv")"
for row in 0x0030,B,B 0x002E,C,C 0x0012,E,E; do
    grep -q "^$row,yes,untested,0,0," "$csv" || e2e_fail "a letter typed in Notepad counts here: $(grep "^${row%%,*}" "$csv")"
done
trace="$APPDATA_DIR/Quillmark/log/00001.trace"
[ -f "$trace" ] || e2e_fail "no trace beside the report"
cp "$trace" "$WORK/"
codes=$(tr -d '\r' <"$trace" | awk '$1 !~ /^#/ { print toupper($2) }' | sort -u | tr '\n' ' ')
echo "$codes" | grep -q '0X20' || e2e_fail "the release of D is not in the trace: $codes"
! echo "$codes" | grep -q '0X30\|0X2E\|0X12' || e2e_fail "letters typed in Notepad are in the trace: $codes"

e2e_close
[ "$EXIT_CODE" = "1069" ] || e2e_fail "exit code '$EXIT_CODE', expected 1069"
echo "$E2E_NAME: ok (screenshot $SHOT)"
