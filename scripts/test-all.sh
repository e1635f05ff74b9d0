#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine and runs every test: the native build with its unit and
# end-to-end tests (under ASan and UBSan), a short run of each fuzz target, then both Windows
# cross builds (x86-64 and 32-bit x86), each through the Wine tests of the real dialog and
# compared byte for byte with the native build, and the release zip's check.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh test

echo "== native build and tests"
cmake --preset linux
cmake --build --preset linux
ctest --preset linux

echo "== fuzzing smoke run"
scripts/fuzz.sh

status=0
for preset in windows windows-x86; do
    echo "== Windows cross build: $preset"
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    echo "== $preset under Wine"
    scripts/wine-e2e.sh "build/$preset" build/linux || status=1
done

echo "== Release zip"
cmake --build --preset windows-x86 --target package
tests/package/check-zip.sh build/windows-x86 || status=1
exit "$status"
