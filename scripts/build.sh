#!/usr/bin/env bash
# The main job: sets up a fresh Debian 12 machine, builds pardim for Windows (the release zip of
# the 32-bit build, and dist/ with the x86-64 tool and its BATs), then runs the real pardim.exe
# under Wine on a default drawing through pardim-host, the host's part on Linux: with a display
# the dialog waits for you, without one it is confirmed by itself. Prints what the tool drew,
# the check of it, and where its picture is.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh run

echo "== Windows builds"
cmake --preset windows >/dev/null
cmake --build --preset windows
rm -rf dist
cmake --install build/windows --prefix dist >/dev/null
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86 --target package
zip=$(ls -t build/windows-x86/pardim-*.zip | head -n 1)

echo "== pardim-host (native)"
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release --target pardim-host
host=build/linux-release/tools/host/pardim-host

# The shipped 32-bit exe where this machine runs 32-bit programs, else the x86-64 one.
. scripts/wine.sh
wine_probe
exe=build/windows-x86/src/win/pardim.exe
if [ "$PARDIM_RUNS_32BIT" != 1 ]; then
    echo "pardim: running the x86-64 exe: $PARDIM_RUNS_32BIT_WHY"
    exe=build/windows/src/win/pardim.exe
fi

run=build/run
rm -rf "$run"
"$host" write "$run"
mode=--auto
[ -n "${DISPLAY:-}" ] && mode=--show
echo "== the real dialog ($mode) of $exe: a wall 3,640 long at 1/50"
status=0
"$host" run "$run" --exe "$exe" "$mode" || status=$?
[ "$status" -le 1 ] || exit "$status"

echo "== check"
"$host" check "$run/JWC_TEMP.TXT"
"$host" draw "$run/JWC_TEMP.TXT" -o "$run/pardim.svg" --png "$run/pardim.png"

echo
echo "pardim: the release zip is $zip"
echo "pardim: the dialog that ran is $exe"
echo "pardim: dist/ holds the x86-64 tool and its two BATs; copy them into a writable folder."
echo "pardim: the drawing is $run/pardim.svg and $run/pardim.png"
