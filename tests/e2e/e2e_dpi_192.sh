#!/usr/bin/env bash
# Tapwise on a screen scaled to 200 % (192 DPI) with a 1600 x 1200 work area: the keyboard is
# fitted to the screen and keeps its shape. Screenshot e2e_dpi_192.png.
# usage: e2e_dpi_192.sh PATH/Tapwise.exe BUILD_DIR
export DPI=192 WINE_SCREEN=1600x1200x24
. "$(dirname "$0")/tapwise-e2e-dpi.sh"
e2e_dpi_run e2e_dpi_192 "$1" "$2"
