#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine and runs every test: the native build with its unit and
# end-to-end tests (under ASan and UBSan), a short run of each fuzz target, the Windows cross
# build, and the Wine tests of the real dialog.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh test

echo "== native build and tests"
cmake --preset linux
cmake --build --preset linux
ctest --preset linux

echo "== fuzzing smoke run"
scripts/fuzz.sh

echo "== Windows cross build"
cmake --preset windows
cmake --build --preset windows

echo "== Windows dialog under Wine"
scripts/wine-e2e.sh build/windows
