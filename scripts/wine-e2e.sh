#!/usr/bin/env bash
# End-to-end tests of a Windows build: runs the cross-built pardim.exe under Wine on a virtual X
# display, driven by pardim-wine-tests.exe, which compares what the dialog draws with
# pardim-batch.exe; then compares pardim-batch.exe byte for byte with the Linux build's
# pardim-batch on every input in tests/data. Leaves the dialog's screenshot as
# <windows-build-dir>/pardim-dialog.png. What needs no run (the PE headers, manifests, imports)
# is tests/pe/check-exe.py's. A 32-bit build needs a machine that runs 32-bit programs (exit 3
# otherwise; scripts/wine.sh probe tells).
# usage: scripts/wine-e2e.sh <windows-build-dir> <linux-build-dir>
# Needs wine64, wine32:i386, xvfb, x11-utils, fonts-ipafont-gothic and imagemagick
# (scripts/setup.sh test).
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: $0 <windows-build-dir> <linux-build-dir>" >&2; exit 2; }
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
linux=$(cd "$2" && pwd)
exe=$build/src/win/pardim.exe
batch=$build/tools/pardim-batch.exe
driver=$build/tests/wine/pardim-wine-tests.exe
linux_batch=$linux/tools/pardim-batch
for file in "$exe" "$batch" "$driver" "$linux_batch"; do
    [ -f "$file" ] || { echo "wine-e2e: $file is missing; build both trees first" >&2; exit 2; }
done

work=$build/wine-e2e
rm -rf "$work"
mkdir -p "$work/runs" "$work/batch"

# The loader for this build's architecture (scripts/wine.sh), and a fresh prefix every time. The
# default 64-bit prefix runs 32-bit programs too, as WoW64, which is how the host itself runs on
# 64-bit Windows. Windows has no built-in copies of its DLLs: whichever atl.dll file the search
# finds first is loaded. Wine prefers its own built-in atl unless told otherwise, which would hide
# a planted copy from the test.
. "$repo/scripts/wine.sh"
export WINEDLLOVERRIDES="mscoree=;mshtml=;atl=n,b"
wine_use "$exe" || exit $?
echo "wine-e2e: loader $WINELOADER, server $WINESERVER"

xvfb_pid=""
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT
wine_display 90 || exit 2
xvfb_pid=$XVFB_PID

echo "wine-e2e: preparing the Wine prefix"
wine_prepare "$work/prefix"

passed=0
failed=0
pass() { echo "PASS $1"; passed=$((passed + 1)); }
fail() { echo "FAIL $1"; failed=$((failed + 1)); }

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

# Settings files of 22 lines: the dialog's defaults with text type No2; other end marks, one
# decimal rounded up with zeros, metres, commas, unit, full width, a Japanese prefix and suffix
# (約, （壁）); slash and arrowhead marks, whole numbers truncated, one dimension figure.
settings_defaults=(100 100 0 0 2 3 2 1 '' '' 0.5 2 2 3 15 2 0 0 0 0 0 0)
settings_options=(100 100 1 7 3 1 1 2 $'\x96\xf1' $'\x81i\x95\xc7\x81j' 1 3 1 5 30 4 1 1 1 1 1 0)
settings_figure=(100 100 10 9 0 0 0 1 '' '' 0.5 2 2 3 15 2 0 0 0 0 0 1)

# Runs one input with one settings file through both builds; prints what differs.
compare_batch() {
    local input=$1 settings=$2 native=$work/batch/$3-linux windows=$work/batch/$3-windows
    local -n lines=$settings
    for dir in "$native" "$windows"; do
        mkdir -p "$dir"
        cp "$input" "$dir/JWC_TEMP.TXT"
        printf '%s\r\n' "${lines[@]}" >"$dir/pardim.dat"
    done
    "$linux_batch" "$native" >"$native.out" 2>&1 || true
    wine "$batch" "Z:${windows//\//\\}" 2>&1 | tr -d '\r' >"$windows.out" || true
    cmp -s "$native.out" "$windows.out" || echo "printed $(cat "$native.out") / $(cat "$windows.out")"
    cmp -s "$native/JWC_TEMP.TXT" "$windows/JWC_TEMP.TXT" || echo "JWC_TEMP.TXT differs"
    cmp -s "$native/pardim.dat" "$windows/pardim.dat" || echo "pardim.dat differs"
}

echo "wine-e2e: comparing pardim-batch.exe with the Linux build"
n=0
for input in "$repo"/tests/data/*.txt; do
    name=$(basename "$input" .txt)
    differences=""
    for settings in settings_defaults settings_options settings_figure; do
        n=$((n + 1))
        result=$(compare_batch "$input" "$settings" "$n")
        [ -z "$result" ] || differences+="${differences:+; }${settings#settings_}: ${result//$'\n'/, }"
    done
    if [ -z "$differences" ]; then pass "BatchMatchesLinux.$name"; else fail "BatchMatchesLinux.$name ($differences)"; fi
done

# Fixed bytes: each golden file is what every build must draw from its sample, with the sample's
# own settings file when it has one.
echo "wine-e2e: comparing pardim-batch.exe with the golden files"
mkdir -p "$work/golden"
for golden in "$repo"/tests/data/golden/*.out.txt; do
    name=$(basename "$golden" .out.txt)
    settings=$repo/tests/data/$name.dat
    [ -f "$settings" ] || settings=$repo/tests/data/golden/$name.dat
    dir=$work/golden/$name
    mkdir -p "$dir"
    cp "$repo/tests/data/$name.txt" "$dir/JWC_TEMP.TXT"
    cp "$settings" "$dir/pardim.dat"
    wine "$batch" "Z:${dir//\//\\}" >/dev/null 2>&1 || true
    if cmp -s "$golden" "$dir/JWC_TEMP.TXT"; then pass "BatchMatchesGolden.$name"; else fail "BatchMatchesGolden.$name"; fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
