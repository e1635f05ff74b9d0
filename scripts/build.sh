#!/usr/bin/env bash
# The main job: sets up a fresh Debian 12 machine, cross-builds pardim.exe for Windows, puts
# the folder a user copies (pardim.exe and its BAT) into dist/ and packs the release zip of the
# 32-bit build into build/windows-x86/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh build
cmake --preset windows
cmake --build --preset windows
rm -rf dist
cmake --install build/windows --prefix dist
echo "pardim: dist/ holds the tool; copy it into a writable folder and pick the BAT in Jw_cad."
ls -l dist
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86 --target package
echo "pardim: the release zip is $(ls -t build/windows-x86/pardim-*.zip | head -n 1)"
