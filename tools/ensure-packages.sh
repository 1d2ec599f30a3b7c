#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# usage: tools/ensure-packages.sh [build|run|test]
set -u
need_for() {
    case "$1" in
        # googletest: the cross build configures the Windows test program from its sources.
        run) echo "cmake ninja-build g++ g++-mingw-w64-x86-64 googletest nlohmann-json3-dev libcli11-dev wine wine64 python3" ;;
        *) echo "cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
                 g++-mingw-w64-x86-64 nlohmann-json3-dev libcli11-dev wine wine64 xvfb xdotool x11-utils imagemagick xauth libx11-dev
                 clang-format python3 chromium" ;;
    esac
}
missing=()
for pkg in $(need_for "${1:-test}"); do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$pkg")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
else
    echo "These packages are missing and I cannot install them without root or sudo:" >&2
    echo "  ${missing[*]}" >&2
    echo "Install them with: apt-get install --no-install-recommends ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq &&
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || {
    echo "apt-get could not install: ${missing[*]}" >&2
    exit 1
}
