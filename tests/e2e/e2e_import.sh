#!/usr/bin/env bash
# Keyboard descriptions in the layout folder: KLE raw data and a QMK info.json are listed
# with their converted names and drawn; a row of 100 keys is drawn small enough for the
# window to fit the screen; a broken file falls back to the built-in layout and says why in
# the event log.
# usage: e2e_import.sh PATH/Tapwise.exe BUILD_DIR
. "$(dirname "$0")/tapwise-e2e.sh"
e2e_init e2e-import "$1" "$2"
folder="$WINEPREFIX/drive_c/tapwise-layouts"
data="$e2e_src/tests/layouts/import"
mkdir -p "$folder"
cp "$data/kle_60_raw.txt" "$folder/kle60.json"
cp "$data/qmk_65_info.json" "$folder/qmk65.json"
printf '[{"name":"Very Wide"},[' >"$folder/wide.json"
for i in $(seq 1 100); do
    [ "$i" -gt 1 ] && printf ',' >>"$folder/wide.json"
    printf '"A"' >>"$folder/wide.json"
done
printf ']]\n' >>"$folder/wide.json"
printf '[["Q",\n  "W" "E"]]\n' >"$folder/broken.json"
e2e_settings "[Layout]" 'LayoutFileDirectory=C:\tapwise-layouts'

e2e_start
e2e_inspect
e2e_items keyboard 1021 >"$WORK/items.txt"
printf '%s\n' "104 Key ANSI" "Tapwise65 LAYOUT_65_ansi" "Very Wide" "broken.json" "kle60" |
    diff - "$WORK/items.txt" >&2 || e2e_fail "the layout list does not hold the .json layouts"

# 100 keys at 36 pixels would make a window 3,600 pixels wide.
e2e_choose_layout 2
e2e_inspect
e2e_shot e2e_import_wide
[ "$(e2e_text main 1044)" = "VERY WIDE" ] || e2e_fail "first tab reads '$(e2e_text main 1044)'"
set -- $(awk '$2 == "0" { print $5, $6, $7, $8; exit }' "$CONTROLS")
[ "$1" -ge 0 ] && [ "$2" -ge 0 ] && [ "$3" -le 1280 ] && [ "$4" -le 1024 ] ||
    e2e_fail "the window ($*) does not fit the 1280x1024 screen"
set -- $(e2e_rect keyboard 1022)
view_width=$(($3 - $1))
[ "$view_width" -ge 1000 ] || e2e_fail "the keyboard view is $view_width wide: keys below 10 pixels"
[ "$view_width" -ge 1100 ] || e2e_fail "the keyboard view is $view_width wide: smaller than it needs to be"

e2e_choose_layout 3
e2e_inspect
e2e_shot e2e_import_broken
[ "$(e2e_text keyboard 1069)" = "Invalid layout!  Default Loaded" ] ||
    e2e_fail "status reads '$(e2e_text keyboard 1069)'"
grep -q 'Layout \\\?"broken.json\\\?" not loaded: invalid JSON at line 2, column 9' "$CONTROLS" ||
    e2e_fail "the event log does not say why broken.json was not loaded: $(grep -i 'broken' "$CONTROLS")"

e2e_choose_layout 1
e2e_inspect
e2e_shot e2e_import_qmk65
[ "$(e2e_text main 1044)" = "TAPWISE65 LAYOUT_65_ANSI" ] ||
    e2e_fail "first tab reads '$(e2e_text main 1044)'"
[ "$(e2e_text keyboard 1069)" = "Layout Cleared/Reloaded" ] ||
    e2e_fail "status reads '$(e2e_text keyboard 1069)'"

e2e_choose_layout 4
e2e_inspect
e2e_shot e2e_import_kle60
[ "$(e2e_text main 1044)" = "KLE60" ] || e2e_fail "first tab reads '$(e2e_text main 1044)'"

e2e_close
[ "$EXIT_CODE" = "1069" ] || e2e_fail "exit code '$EXIT_CODE', expected 1069"
echo "$E2E_NAME: ok (screenshots $BUILD/e2e_import_*.png)"
