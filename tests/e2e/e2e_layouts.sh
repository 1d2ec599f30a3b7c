#!/usr/bin/env bash
# A layout folder with a good and a broken layout file: the list is ordered by name (codes, so
# "Zeta" before "alpha"); choosing the good layout names the first tab after it and resizes the
# window; choosing the broken one falls back to the built-in layout with the red status.
# usage: e2e_layouts.sh PATH/Tapwise.exe BUILD_DIR
. "$(dirname "$0")/tapwise-e2e.sh"
e2e_init e2e-layouts "$1" "$2"
folder="$WINEPREFIX/drive_c/tapwise-layouts"
mkdir -p "$folder"
printf 'Zeta Wide,4\r\n// one long row and a short one\r\nR1, 0x1E, "A", "A", 20\r\nR1, 0x1F, "S", "S", 12\r\nR2, 0x2C, "Z", "Z", 4\r\n' \
    >"$folder/b-good.kbl"
printf 'alpha broken\r\nR1, 0x1E, "A"\r\nthis is no key line\r\n' >"$folder/a-broken.kbl"
e2e_settings "[Layout]" 'LayoutFileDirectory=C:\tapwise-layouts'

e2e_start
e2e_inspect
e2e_items keyboard 1021 >"$WORK/items.txt"
printf '%s\n' "104 Key ANSI" "Zeta Wide" "alpha broken" | diff - "$WORK/items.txt" >&2 ||
    e2e_fail "the layout list is not in name order"
size_before=$(awk '$2 == "0" { print $7 - $5, $8 - $6; exit }' "$CONTROLS")

e2e_choose_layout 1
e2e_inspect
e2e_shot e2e_layouts_wide
[ "$(e2e_text main 1044)" = "ZETA WIDE" ] || e2e_fail "first tab reads '$(e2e_text main 1044)'"
[ "$(e2e_text keyboard 1069)" = "Layout Cleared/Reloaded" ] ||
    e2e_fail "status reads '$(e2e_text keyboard 1069)'"
size_wide=$(awk '$2 == "0" { print $7 - $5, $8 - $6; exit }' "$CONTROLS")
set -- $size_before $size_wide
[ "$3" -gt "$1" ] || e2e_fail "the window did not widen for the wide layout ($size_before -> $size_wide)"
[ "$4" -lt "$2" ] || e2e_fail "the window did not get lower for the two-row layout ($size_before -> $size_wide)"
# The frame still holds the whole view.
set -- $(e2e_rect keyboard 1022)
view_right=$3
set -- $(e2e_rect main 1046)
[ "$view_right" -le "$3" ] || e2e_fail "the keyboard view reaches beyond the frame"
point=$(awk -v l="$(e2e_rect keyboard 1022)" 'BEGIN { split(l, r, " "); print r[1] + 700, r[2] + 30 }')
[ "$(e2e_pixel $point)" = "a0a0a0" ] || e2e_fail "the wide A key is not drawn at $point"

e2e_choose_layout 2
e2e_inspect
e2e_shot e2e_layouts_fallback
[ "$(e2e_text keyboard 1069)" = "Invalid layout!  Default Loaded" ] ||
    e2e_fail "status reads '$(e2e_text keyboard 1069)'"
[ "$(e2e_text main 1044)" = "104 KEY ANSI" ] || e2e_fail "first tab reads '$(e2e_text main 1044)'"
[ "$(e2e_text keyboard 1021)" = "104 Key ANSI" ] || e2e_fail "the list shows '$(e2e_text keyboard 1021)'"
size_after=$(awk '$2 == "0" { print $7 - $5, $8 - $6; exit }' "$CONTROLS")
[ "$size_after" = "$size_before" ] || e2e_fail "window size $size_after after the fallback, $size_before at start"

e2e_close
[ "$EXIT_CODE" = "1069" ] || e2e_fail "exit code '$EXIT_CODE', expected 1069"
echo "$E2E_NAME: ok (screenshots $BUILD/e2e_layouts_wide.png, $SHOT)"
