#!/usr/bin/env bash
# A column-staggered split board dropped into the layout folder as a QMK definition without
# labels, its default keymap beside it (keymaps/default/keymap.c, lines continued with a
# backslash): listed with its name, drawn with every key at its own x, the halves apart, and
# typing letters lights the keys where the board has them.
# usage: e2e_import_split.sh PATH/Tapwise.exe BUILD_DIR
. "$(dirname "$0")/tapwise-e2e.sh"
e2e_init e2e-import-split "$1" "$2"
folder="$WINEPREFIX/drive_c/tapwise-layouts"
mkdir -p "$folder/keymaps/default"

# Three rows of five keys a half, columns lower towards the outside, two thumb keys a half;
# the halves stand 2 units apart (x 0-5 and 7-12).
stagger=(0.5 0.25 0 0.125 0.25)
{
    printf '{"layouts": {"LAYOUT_split_3x5_2": {"layout": [\n'
    for row in 0 1 2; do
        for column in 0 1 2 3 4; do
            printf '{"x": %d, "y": %s},' "$column" "$(awk "BEGIN { print $row + ${stagger[$column]} }")"
        done
        for column in 0 1 2 3 4; do
            printf '{"x": %d, "y": %s},' $((7 + column)) \
                "$(awk "BEGIN { print $row + ${stagger[$((4 - column))]} }")"
        done
        printf '\n'
    done
    printf '{"x": 3, "y": 3.25}, {"x": 4, "y": 3.25}, {"x": 7, "y": 3.25}, {"x": 8, "y": 3.25}\n'
    printf ']}}}\n'
} >"$folder/Splitty.json"
printf '%s\r\n' '#include QMK_KEYBOARD_H' \
    'const uint16_t PROGMEM keymaps[][MATRIX_ROWS][MATRIX_COLS] = {' \
    '    [0] = LAYOUT_split_3x5_2( \' \
    '        KC_Q, KC_W, KC_E, KC_R, KC_T,    KC_Y, KC_U, KC_I,    KC_O,   KC_P,    \' \
    '        KC_A, KC_S, KC_D, KC_F, KC_G,    KC_H, KC_J, KC_K,    KC_L,   KC_SCLN, \' \
    '        KC_Z, KC_X, KC_C, KC_V, KC_B,    KC_N, KC_M, KC_COMM, KC_DOT, KC_SLSH, \' \
    '                    KC_TAB, KC_SPC,    KC_ENT, KC_BSPC \' \
    '    )' '};' >"$folder/keymaps/default/keymap.c"
e2e_settings "[Layout]" 'LayoutFileDirectory=C:\tapwise-layouts'

e2e_start
e2e_inspect
e2e_items keyboard 1021 >"$WORK/items.txt"
printf '%s\n' "104 Key ANSI" "Splitty LAYOUT_split_3x5_2" | diff - "$WORK/items.txt" >&2 ||
    e2e_fail "the layout list does not hold the split board"

e2e_choose_layout 1
e2e_inspect
[ "$(e2e_text main 1044)" = "SPLITTY LAYOUT_SPLIT_3X5_2" ] ||
    e2e_fail "first tab reads '$(e2e_text main 1044)'"
[ "$(e2e_text keyboard 1069)" = "Layout Cleared/Reloaded" ] ||
    e2e_fail "status reads '$(e2e_text keyboard 1069)'"
e2e_type q t y p a semicolon z slash
sleep 0.3
e2e_inspect
e2e_shot e2e_import_split

# A point near the bottom left of the key at column X of row R (thumbs: row 3), 36 pixels a
# unit; rows stand at the top of their highest key (0, 1, 2) and the thumbs 0.25 below row 3.
set -- $(e2e_rect keyboard 1022)
view_left=$1
view_top=$2
key_point() {
    local top
    case $2 in 0) top=0 ;; 1) top=36 ;; 2) top=72 ;; 3) top=117 ;; esac
    echo $((view_left + $1 * 36 + 5)) $((view_top + top + 31))
}
for key in "0 0 Q" "4 0 T" "7 0 Y" "11 0 P" "0 1 A" "11 1 ;" "0 2 Z" "11 2 /"; do
    set -- $key
    colour=$(e2e_pixel $(key_point "$1" "$2"))
    [ "$colour" = "a0ffa0" ] || e2e_fail "no pressed key $3 at column $1 of row $2 (colour $colour)"
done
for key in "1 0 W" "10 0 O" "4 1 G" "7 1 H" "3 3 Tab" "4 3 Space" "7 3 Enter" "8 3 Backspace"; do
    set -- $key
    colour=$(e2e_pixel $(key_point "$1" "$2"))
    [ "$colour" = "a0a0a0" ] || e2e_fail "untouched key $3 at column $1 of row $2 is $colour"
done
# Between the halves, and below the raised outer columns, there is no key.
for place in "5 1" "6 1" "2 3" "9 3"; do
    colour=$(e2e_pixel $(key_point $place))
    case $colour in a0a0a0 | a0ffa0) e2e_fail "a key stands at column/row $place ($colour)" ;; esac
done

e2e_close
[ "$EXIT_CODE" = "1069" ] || e2e_fail "exit code '$EXIT_CODE', expected 1069"
echo "$E2E_NAME: ok (screenshot $SHOT)"
