#!/usr/bin/env bash
# End-to-end tests of the Windows dialog: runs the cross-built pardim.exe under Wine on a virtual
# X display, driven by pardim-wine-tests.exe, and compares what it draws with pardim-batch.exe.
# Leaves the dialog's screenshot as <windows-build-dir>/pardim-dialog.png.
# usage: scripts/wine-e2e.sh <windows-build-dir>
# Needs wine64, xvfb, x11-utils, fonts-ipafont-gothic and imagemagick (scripts/setup.sh test).
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 <windows-build-dir>" >&2; exit 2; }
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
exe=$build/src/win/pardim.exe
batch=$build/tools/pardim-batch.exe
driver=$build/tests/wine/pardim-wine-tests.exe
for file in "$exe" "$batch" "$driver"; do
    [ -f "$file" ] || { echo "wine-e2e: $file is missing; build the Windows tree first" >&2; exit 2; }
done

work=$build/wine-e2e
rm -rf "$work"
mkdir -p "$work/runs"

# A fresh prefix every time, quiet, and never offering to install Mono or Gecko. Windows has no
# built-in copies of its DLLs: whichever atl.dll file the search finds first is loaded. Wine
# prefers its own built-in atl unless told otherwise, which would hide a planted copy from the
# test.
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=;atl=n,b"
unset WINEARCH

display=""
for n in $(seq 90 199); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "wine-e2e: no free X display" >&2; exit 2; }

xvfb_pid=""
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.2; done
xdpyinfo >/dev/null 2>&1 || { echo "wine-e2e: Xvfb did not start" >&2; exit 2; }

echo "wine-e2e: preparing the Wine prefix"
wine wineboot --init >"$work/wineboot.log" 2>&1
wineserver -w
{ printf '\xff\xfe'; sed 's/$/\r/' "$repo/tests/wine/wine-prefix.reg" | iconv -f UTF-8 -t UTF-16LE; } >"$work/prefix.reg"
wine regedit /S "$(winepath -w "$work/prefix.reg")" >/dev/null 2>&1
# Wine draws its caption buttons with Marlett; without it the title bar shows letters.
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
wineserver -w

passed=0
failed=0
pass() { echo "PASS $1"; passed=$((passed + 1)); }
fail() { echo "FAIL $1"; failed=$((failed + 1)); }

# Only Windows' own DLLs: the exe is copied alone into the host's folder.
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
if echo "$imports" | tr ' ' '\n' | grep -v -x -E '|kernel32.dll|user32.dll|gdi32.dll|comctl32.dll|imm32.dll|ole32.dll|oleaut32.dll|msvcrt.dll|advapi32.dll|shell32.dll' >/dev/null; then
    fail "ImportsOnlySystemDlls ($imports)"
else
    pass "ImportsOnlySystemDlls"
fi

echo "wine-e2e: running the dialog tests"
set +e
wine "$driver" "$(winepath -w "$exe")" "$(winepath -w "$batch")" \
    "$(winepath -w "$repo/tests/data")" "$(winepath -w "$work/runs")" 2>"$work/driver.err" |
    tr -d '\r' | tee "$work/driver.log"
driver_status=${PIPESTATUS[0]}
set -e
passed=$((passed + $(grep -c '^PASS ' "$work/driver.log" || true)))
failed=$((failed + $(grep -c '^FAIL ' "$work/driver.log" || true)))
if [ "$driver_status" -ne 0 ] && ! grep -q '^FAIL ' "$work/driver.log"; then
    fail "DriverRanToTheEnd (exit $driver_status; see $work/driver.err)"
fi

if [ -f "$work/runs/pardim-dialog.bmp" ] && convert "$work/runs/pardim-dialog.bmp" "$build/pardim-dialog.png"; then
    pass "ScreenshotWritten ($build/pardim-dialog.png)"
else
    fail "ScreenshotWritten"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
