#!/usr/bin/env bash
# Start-up benchmark (not a test): how long pardim.exe takes from process start until its dialog
# shows, against three yardsticks: a minimal static Win32 window, the same with the tool's imports
# and manifest (what Windows loads for us before our entry runs), and the floor, which makes the
# dialog's own windows from its window table but reads no file and computes nothing. Runs under
# Wine with the build's loader on its own Xvfb, in a settled prefix, alternating the four for
# ROUNDS rounds; prints every time, each median with its quartiles and range, and the ratios, among
# them floor / minimal window and pardim.exe / floor.
# usage: scripts/bench-startup.sh [BUILD-DIR [ROUNDS]]   (default build/windows, 15)
# Build first: cmake --preset windows && cmake --build --preset windows, and the linux-release
# preset's pardim-host (for the default wall).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build/windows}" && pwd)
rounds=${2:-15}
exe=$build/src/win/pardim.exe
host=$repo/build/linux-release/tools/host/pardim-host
[ -x "$host" ] || host=$repo/build/linux/tools/host/pardim-host
for file in "$exe" "$build/tools/pardim-startup-bench.exe" "$build/tools/minimal-window.exe" \
    "$build/tools/minimal-window-imports.exe" "$build/tools/floor-dialog.exe" "$host"; do
    [ -e "$file" ] || { echo "bench-startup: $file is missing; build first" >&2; exit 2; }
done

. "$repo/scripts/wine.sh"
wine_use "$exe" || exit $?
work=$build/bench-startup
rm -rf "$work/runs"
mkdir -p "$work/runs"

wine_display 200 || exit 2
trap 'wineserver -k >/dev/null 2>&1 || true; kill $XVFB_PID 2>/dev/null || true' EXIT

echo "bench-startup: preparing and settling the prefix (loader $WINELOADER)"
wine_prepare "$work/prefix"
# A fresh prefix makes every COM start wait seconds until it has settled: one run each first.
"$host" write "$work/runs" >/dev/null
wine "$build/tools/pardim-startup-bench.exe" 1 "$(winepath -w "$work/runs")" \
    "$(winepath -w "$build/tools/minimal-window.exe")" "$(winepath -w "$exe")" >/dev/null 2>&1 || true
wineserver -w

wine "$build/tools/pardim-startup-bench.exe" "$rounds" "$(winepath -w "$work/runs")" \
    "$(winepath -w "$build/tools/minimal-window.exe")" \
    "$(winepath -w "$build/tools/minimal-window-imports.exe")" \
    "$(winepath -w "$build/tools/floor-dialog.exe")" \
    "$(winepath -w "$exe")" 2>&1 | tr -d '\r'
