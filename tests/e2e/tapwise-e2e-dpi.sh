#!/usr/bin/env bash
# The program on a scaled screen; sourced by e2e_dpi_*.sh after setting DPI and WINE_SCREEN.
#   e2e_dpi_run NAME EXE BUILD   starts Tapwise at $DPI on a $WINE_SCREEN screen, takes the
#                                screenshot NAME.png and checks that nothing is cut off and
#                                that the keyboard has the 96-DPI proportions (with UNFITTED=1
#                                also its 96-DPI width times the scale)
. "$(dirname "${BASH_SOURCE[0]}")/tapwise-e2e.sh"

e2e_dpi_run() {
    e2e_init "$1" "$2" "$3"
    wine_set_dpi "$DPI" || e2e_fail "cannot set the screen to $DPI DPI"
    e2e_start
    sleep 1
    e2e_inspect
    e2e_shot "$1"
    local screen_width=${WINE_SCREEN%%x*}
    local rest=${WINE_SCREEN#*x}
    local screen_height=${rest%%x*}

    # The whole window on the screen, the keyboard and the close button inside it.
    set -- $(awk '$2 == "0" { print $5, $6, $7, $8; exit }' "$CONTROLS")
    local wl=$1 wt=$2 wr=$3 wb=$4
    [ "$wl" -ge 0 ] && [ "$wt" -ge 0 ] && [ "$wr" -le "$screen_width" ] &&
        [ "$wb" -le "$screen_height" ] ||
        e2e_fail "the window ($*) does not fit the ${screen_width}x$screen_height screen"
    set -- $(e2e_rect keyboard 1022)
    local kl=$1 kt=$2 kr=$3 kb=$4
    [ "$kl" -gt "$wl" ] && [ "$kr" -lt "$wr" ] && [ "$kt" -gt "$wt" ] && [ "$kb" -lt "$wb" ] ||
        e2e_fail "the keyboard ($*) is not inside the window ($wl $wt $wr $wb)"
    # The close button is its 46 x 18 bitmap at the screen's scale (or at the smaller scale
    # a window too large for the screen is drawn at): never larger, never out of proportion.
    set -- $(e2e_rect main 1069)
    local cw=$(($3 - $1)) ch=$(($4 - $2))
    [ "$cw" -le $(((46 * DPI + 48) / 96)) ] && [ "$cw" -gt 46 ] ||
        e2e_fail "the close button is $cw wide at $DPI DPI"
    [ $((ch * 46 - cw * 18)) -le 46 ] && [ $((cw * 18 - ch * 46)) -le 46 ] ||
        e2e_fail "the close button is $cw x $ch, not in the proportions of 46 x 18"
    if [ "${UNFITTED:-0}" = 1 ]; then
        [ "$cw" -eq $(((46 * DPI + 48) / 96)) ] || e2e_fail "the close button is $cw wide at $DPI DPI"
    fi
    [ "$3" -le "$wr" ] || e2e_fail "the close button reaches beyond the window"

    # The keyboard has the shape of the 96-DPI picture: width over height within a pixel or
    # two per row, whether or not it was fitted to the screen.
    e2e_key_rect 0x01 >/dev/null
    set -- $(awk '$1 == "key:" { if ($5 > w) w = $5; if ($6 > h) h = $6 } END { print w, h }' \
        "$WORK/default-layout.txt")
    local base_width=$1 base_height=$2
    local view_width=$((kr - kl)) view_height=$((kb - kt))
    local expected_height=$(((view_width * base_height + base_width / 2) / base_width))
    [ $((view_height - expected_height)) -le 6 ] && [ $((expected_height - view_height)) -le 6 ] ||
        e2e_fail "the keyboard is $view_width x $view_height, the 96-DPI picture $base_width x $base_height"
    if [ "${UNFITTED:-0}" = 1 ]; then
        local scaled=$(((base_width * DPI + 48) / 96))
        [ $((view_width - scaled)) -le 2 ] && [ $((scaled - view_width)) -le 2 ] ||
            e2e_fail "the keyboard is $view_width wide, not $scaled (96-DPI $base_width x $DPI / 96)"
    fi
    echo "$E2E_NAME: window $((wr - wl)) x $((wb - wt)), keyboard $view_width x $view_height (96 DPI: $base_width x $base_height)"

    # Unpressed keys are drawn where the picture says: the middle of the space bar's lower
    # half is the untested grey.
    set -- $(e2e_key_rect 0x39)
    local x=$((kl + ($1 + $3) / 2 * view_width / base_width))
    local y=$((kt + ($2 + 3 * $4) / 4 * view_height / base_height))
    [ "$(e2e_pixel "$x" "$y")" = "a0a0a0" ] ||
        e2e_fail "the space bar at ($x, $y) is $(e2e_pixel "$x" "$y"), not untested grey"

    e2e_close
    [ "$EXIT_CODE" = "1069" ] || e2e_fail "exit code $EXIT_CODE"
}
