#!/usr/bin/env bash
# The release package as a Windows user gets it: the ZIP holds the program, the command-line
# tool, the layouts and the guide; unpacked into a folder of a fresh prefix, Tapwise.exe starts
# from there, shows its window and installs the shipped layouts on its first start.
# usage: e2e_package.sh PATH/Tapwise.exe BUILD_DIR  (the package target must have been built)
. "$(dirname "$0")/tapwise-e2e.sh"
build_dir=$(cd "$2" && pwd)
zip=$(ls "$build_dir"/Tapwise-*-win64.zip 2>/dev/null | head -n 1)
[ -n "$zip" ] || { echo "e2e-package: FAIL: no Tapwise-*-win64.zip in $build_dir" >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
[ "$(basename "$zip")" = "Tapwise-$version-win64.zip" ] ||
    { echo "e2e-package: FAIL: package named $(basename "$zip") for version $version" >&2; exit 1; }

unpacked="$build_dir/e2e-package-unpacked"
rm -rf "$unpacked"
mkdir -p "$unpacked"
python3 -m zipfile -e "$zip" "$unpacked" || { echo "e2e-package: FAIL: cannot unpack $zip" >&2; exit 1; }
e2e_init e2e-package "$unpacked/Tapwise.exe" "$build_dir"

for item in Tapwise.exe tapwise-cli.exe README.txt layouts/ansi_101.kbl; do
    [ -f "$unpacked/$item" ] || e2e_fail "the package lacks $item"
done
top=$(python3 -m zipfile -l "$zip" | awk 'NR > 1 { split($1, p, "/"); print p[1] }' | sort -u | tr '\n' ' ')
[ "$top" = "README.txt Tapwise.exe layouts tapwise-cli.exe " ] || e2e_fail "the package holds: $top"
shipped=$(ls "$e2e_src/layouts/"*.kbl | wc -l)
[ "$(ls "$unpacked/layouts/"*.kbl | wc -l)" = "$shipped" ] || e2e_fail "the package lacks layouts"
cli_version=$(wine "$unpacked/tapwise-cli.exe" --version 2>/dev/null | tr -d '\r')
[ "$cli_version" = "tapwise-cli $version" ] || e2e_fail "tapwise-cli --version says '$cli_version'"

[ -e "$APPDATA_DIR/Quillmark/layouts" ] && e2e_fail "the fresh prefix already has a layout folder"
e2e_start
e2e_inspect
[ "$(e2e_text keyboard 1069)" = "Layout Cleared/Reloaded" ] ||
    e2e_fail "layout status reads '$(e2e_text keyboard 1069)'"
[ "$(e2e_text settings 1037)" = "$version" ] || e2e_fail "version label '$(e2e_text settings 1037)'"
installed=$(ls "$APPDATA_DIR/Quillmark/layouts/"*.kbl 2>/dev/null | wc -l)
[ "$installed" = "$shipped" ] || e2e_fail "$installed of $shipped layouts installed at first start"
[ "$(e2e_items keyboard 1021 | wc -l)" -gt "$shipped" ] ||
    e2e_fail "the layout list holds only: $(e2e_items keyboard 1021)"
e2e_shot e2e_package
e2e_close
[ "$EXIT_CODE" = "1069" ] || e2e_fail "exit code '$EXIT_CODE', expected 1069"
echo "$E2E_NAME: ok (screenshot $SHOT)"
