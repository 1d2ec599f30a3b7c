#!/usr/bin/env bash
# First start without a settings file: the window shows the built-in 104 Key ANSI layout with
# every key untested on the dark scheme; closing it ends the program with 1069 and leaves a
# settings file with all nineteen keys and the folders expanded.
# usage: e2e_first_start.sh PATH/Tapwise.exe BUILD_DIR
. "$(dirname "$0")/tapwise-e2e.sh"
e2e_init e2e-first-start "$1" "$2"
[ -e "$APPDATA_DIR/Quillmark/Tapwise.ini" ] && e2e_fail "the fresh prefix already has settings"

e2e_start
e2e_inspect
[ "$(e2e_text main 1044)" = "104 KEY ANSI" ] || e2e_fail "first tab reads '$(e2e_text main 1044)'"
[ "$(e2e_text main 1045)" = "SETTINGS" ] || e2e_fail "second tab reads '$(e2e_text main 1045)'"
[ "$(e2e_text keyboard 1069)" = "Layout Cleared/Reloaded" ] ||
    e2e_fail "layout status reads '$(e2e_text keyboard 1069)'"
[ "$(e2e_visible keyboard 1069)" = 1 ] || e2e_fail "the layout status is hidden"
[ "$(e2e_text keyboard 1021)" = "104 Key ANSI" ] || e2e_fail "layout list shows '$(e2e_text keyboard 1021)'"
[ "$(e2e_text keyboard 1003)" = "00001" ] || e2e_fail "sequence number '$(e2e_text keyboard 1003)'"
[ "$(e2e_visible settings 1037)" = 0 ] || e2e_fail "the settings page shows at start"
[ "$(e2e_text settings 1037)" = "1.0.2.2910" ] || e2e_fail "version label '$(e2e_text settings 1037)'"
# The shipped layouts were installed into the new layout folder and are offered in the list.
ls "$APPDATA_DIR/Quillmark/layouts/"*.kbl >/dev/null 2>&1 || e2e_fail "no layouts installed"
[ "$(e2e_items keyboard 1021 | wc -l)" -gt 5 ] || e2e_fail "the layout list holds only: $(e2e_items keyboard 1021)"

e2e_shot e2e_first_start
# An untested key (A) in the Unpressed colour, the main window's dark background in a corner
# below the frame, and the page's background beside the log view.
point=$(e2e_key_point 0x001E) || exit 1
set -- $point
[ "$(e2e_pixel "$1" "$2")" = "a0a0a0" ] || e2e_fail "key A at $1,$2 is $(e2e_pixel "$1" "$2")"
set -- $(awk '$2 == "0" { print $5, $6, $7, $8; exit }' "$CONTROLS")
[ "$(e2e_pixel $(($1 + 5)) $(($4 - 5)))" = "333333" ] ||
    e2e_fail "window background is $(e2e_pixel $(($1 + 5)) $(($4 - 5)))"
[ "$(e2e_pixel "$1" $(($2 + 200)))" = "646464" ] || e2e_fail "no border line on the left"
set -- $(e2e_rect keyboard 1005)
[ "$(e2e_pixel $(($3 + 3)) $(($4 - 3)))" = "454545" ] ||
    e2e_fail "page background is $(e2e_pixel $(($3 + 3)) $(($4 - 3)))"

e2e_close
[ "$EXIT_CODE" = "1069" ] || e2e_fail "exit code '$EXIT_CODE', expected 1069"

ini="$APPDATA_DIR/Quillmark/Tapwise.ini"
[ -f "$ini" ] || e2e_fail "no settings file after closing"
if [ "$(head -c 2 "$ini" | od -An -tx1 | tr -d ' ')" = "fffe" ]; then
    iconv -f UTF-16 -t UTF-8 "$ini" | tr -d '\r' >"$WORK/settings.txt"
else
    tr -d '\r' <"$ini" >"$WORK/settings.txt"
fi
keys=$(grep -cE '^[A-Za-z]+=' "$WORK/settings.txt")
[ "$keys" = 19 ] || e2e_fail "the settings file holds $keys keys: $(cat "$WORK/settings.txt")"
for key in Unpressed Depressed Pressed Alarm LayoutFileDirectory ChatterThreshold LastLayout \
    KeyDimensions PressedKeysFont KeyLabelFont LogFont LogNumberFont LogFileDirectory \
    LogFilePrefix Overwrite ShowLog Enabled Plan OutputDirectory; do
    grep -q "^$key=" "$WORK/settings.txt" || e2e_fail "no $key in the settings file"
done
user=$(id -un)
grep -qxF "LayoutFileDirectory=C:\\users\\$user\\AppData\\Roaming\\Quillmark\\layouts" "$WORK/settings.txt" ||
    e2e_fail "layout folder not expanded: $(grep LayoutFileDirectory "$WORK/settings.txt")"
grep -qxF "LogFileDirectory=C:\\users\\$user\\AppData\\Roaming\\Quillmark\\log" "$WORK/settings.txt" ||
    e2e_fail "log folder not expanded: $(grep LogFileDirectory "$WORK/settings.txt")"
grep -qxF "LastLayout=### DEFAULT LAYOUT ###" "$WORK/settings.txt" || e2e_fail "LastLayout not kept"
grep -qxF "Unpressed=(A0, A0, A0)" "$WORK/settings.txt" || e2e_fail "Unpressed colour not kept"
grep -qxF "Enabled=0" "$WORK/settings.txt" || e2e_fail "bench mode not off at first start"
echo "$E2E_NAME: ok (screenshot $SHOT)"
