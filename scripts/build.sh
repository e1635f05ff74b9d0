#!/usr/bin/env bash
# The main job: sets up a fresh Debian 12 machine, cross-builds pardim.exe for Windows and puts
# the folder a user copies (pardim.exe and its BAT) into dist/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh build
cmake --preset windows
cmake --build --preset windows
rm -rf dist
cmake --install build/windows --prefix dist
echo "pardim: dist/ holds the tool; copy it into a writable folder and pick the BAT in Jw_cad."
ls -l dist
