#!/usr/bin/env bash
# Tapwise on a screen scaled to 150 % (144 DPI), large enough for the whole keyboard: the
# keyboard 1.5 times its 96-DPI size, nothing cut off. Screenshot e2e_dpi_144.png.
# usage: e2e_dpi_144.sh PATH/Tapwise.exe BUILD_DIR
export DPI=144 WINE_SCREEN=1920x1200x24 UNFITTED=1
. "$(dirname "$0")/tapwise-e2e-dpi.sh"
e2e_dpi_run e2e_dpi_144 "$1" "$2"
