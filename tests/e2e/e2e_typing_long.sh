#!/usr/bin/env bash
# A long typing run: 600 letters typed with a short delay; every DOWN and UP line is in the event
# log in the order typed, and Save writes exactly the view's text.
# usage: e2e_typing_long.sh PATH/Tapwise.exe BUILD_DIR
. "$(dirname "$0")/tapwise-e2e.sh"
e2e_init e2e-typing-long "$1" "$2"

# Letters with their scan codes.
declare -A codes=([a]=1E [b]=30 [c]=2E [d]=20 [e]=12 [f]=21 [g]=22 [h]=23 [i]=17 [j]=24 [k]=25
    [l]=26 [m]=32 [n]=31 [o]=18 [p]=19 [q]=10 [r]=13 [s]=1F [t]=14 [u]=16 [v]=2F [w]=11 [x]=2D
    [y]=15 [z]=2C)
letters=(a b c d e f g h i j k l m n o p q r s t u v w x y z)
keys=()
: >"$WORK/expected.txt"
for i in $(seq 0 599); do
    key=${letters[$((i % 26))]}
    upper=$(echo "$key" | tr a-z A-Z)
    vkey=$(printf '%02X' "'$upper")
    keys+=("$key")
    printf '%s\n' "$upper (0x$vkey, BIOS 0x${codes[$key]}) DOWN" \
        "$upper (0x$vkey, BIOS 0x${codes[$key]}) UP -> Nms" >>"$WORK/expected.txt"
done

e2e_start
xdotool key --delay 15 "${keys[@]}"
# Wait until all 1,200 lines are in the view.
for _ in $(seq 1 60); do
    e2e_log_lines "$WORK/view.txt"
    [ "$(wc -l <"$WORK/view.txt")" -ge 1200 ] && break
    sleep 0.5
done
sed -E 's/-> [0-9]+ms$/-> Nms/' "$WORK/view.txt" >"$WORK/view-lines.txt"
diff "$WORK/expected.txt" "$WORK/view-lines.txt" >"$WORK/view.diff" ||
    e2e_fail "the event log differs from the keys typed: $(head -n 20 "$WORK/view.diff")"

e2e_inspect
e2e_click keyboard 1007
e2e_inspect
[ "$(e2e_text keyboard 1071)" = "Log saved" ] || e2e_fail "log status reads '$(e2e_text keyboard 1071)'"
saved="$APPDATA_DIR/Quillmark/log/00001.log"
[ -f "$saved" ] || e2e_fail "no 00001.log in the log folder"
iconv -f UTF-16LE -t UTF-8 "$saved" | tr -d '\r' | sed -E 's/^[0-9]{2}:[0-9]{2}\.[0-9]{4} //' \
    >"$WORK/saved.txt" || e2e_fail "the log is not UTF-16LE"
echo >>"$WORK/saved.txt"
cmp -s "$WORK/saved.txt" "$WORK/view.txt" || e2e_fail "the saved log is not the view's text"
e2e_shot e2e_typing_long

e2e_close
[ "$EXIT_CODE" = "1069" ] || e2e_fail "exit code '$EXIT_CODE', expected 1069"
echo "$E2E_NAME: ok (1,200 lines in the view and the saved file; screenshot $SHOT)"
