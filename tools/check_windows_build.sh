#!/usr/bin/env bash
# Configures and builds Tapwise.exe and tapwise-cli.exe as a Windows machine would (MinGW-w64
# toolchain, tests off) and checks that nothing of the Linux machine's own files took part:
# every header the compiler read comes from the source tree, the build folder or the
# cross compiler, and the configuration holds no Wine path.
# usage: tools/check_windows_build.sh [BUILD_DIR]
set -eu
cd "$(dirname "$0")/.."
src=$(pwd)
build=${1:-build/windows-notests}
rm -rf "$build"
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DTAPWISE_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target Tapwise tapwise-cli >/dev/null
build=$(cd "$build" && pwd)

fail=0
if grep -q -E '/usr/src/googletest|Z:/' "$build/CMakeCache.txt"; then
    echo "check_windows_build: the configuration names a test-only Linux path:" >&2
    grep -E '/usr/src/googletest|Z:/' "$build/CMakeCache.txt" >&2
    fail=1
fi
# Every file the compiler read, as ninja recorded it from the dependency files; a compiler
# cache with a base folder records them relative to the build folder.
foreign=$(ninja -C "$build" -t deps | awk '/^    /{ print $1 }' | sort -u |
    (cd "$build" && xargs -r realpath -ms --) | sort -u |
    grep -v -E "^($src/|$build/|/usr/(lib/gcc/)?x86_64-w64-mingw32/|/usr/share/mingw-w64/)" || true)
if [ -n "$foreign" ]; then
    echo "check_windows_build: files outside the source, build and toolchain folders were used:" >&2
    echo "$foreign" | head -n 20 >&2
    fail=1
fi
[ -f "$build/Tapwise.exe" ] && [ -f "$build/tapwise-cli.exe" ] || { echo "check_windows_build: no program built" >&2; fail=1; }
[ "$fail" = 0 ] && echo "check_windows_build: Tapwise.exe and tapwise-cli.exe built with tests off, no Linux path used"
exit "$fail"
