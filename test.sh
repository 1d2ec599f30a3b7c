#!/usr/bin/env bash
# Builds everything and runs every test: native core tests (ASan + UBSan), the Windows
# test program and the end-to-end tests under Wine inside Xvfb, and short fuzz runs.
set -eu
cd "$(dirname "$0")"
start=$(date +%s)
tools/ensure-packages.sh test
jobs=$(nproc)

echo "== native build and tests"
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"
ctest --preset linux -j "$jobs"

echo "== Windows build, tests under Wine, end-to-end tests"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
cmake --build --preset windows --target package >/dev/null
ctest --preset windows

echo "== Windows build as on a Windows machine (MinGW, tests off)"
tools/check_windows_build.sh build/windows-notests

if [ -f fuzz/fuzz.cmake ]; then
    echo "== fuzz targets (short bounded runs)"
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz -j "$jobs"
    fuzz/run-all.sh build/fuzz 20
fi

echo "== all tests passed in $(( $(date +%s) - start )) s"
