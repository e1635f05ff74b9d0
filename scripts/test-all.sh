#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine and runs every test: the native build with its unit and
# end-to-end tests (under ASan and UBSan), a short run of each fuzz target, the static checks of
# the Windows layer, then both Windows cross builds (x86-64 and 32-bit x86): what Windows checks
# before it starts each exe (tests/pe/check-exe.py), and the Wine tests of the real dialog,
# compared byte for byte with the native build; last the release zip's check.
# A machine that refuses 32-bit programs still builds and checks the 32-bit exe, but cannot run
# it under Wine: that is said in one line and counted as skipped, not as passed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh test

. scripts/wine.sh
wine_probe
echo "== this machine $([ "$PARDIM_RUNS_32BIT" = 1 ] && echo runs || echo does not run) 32-bit programs ($PARDIM_RUNS_32BIT_WHY)"

passed=0
failed=0
skipped=0
results=()
stage() {  # stage NAME COMMAND...: runs one stage and counts it
    local name=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
        results+=("ok       $name")
    else
        failed=$((failed + 1))
        results+=("FAILED   $name")
    fi
}

echo "== native build and tests"
cmake --preset linux
cmake --build --preset linux
stage "native unit and end-to-end tests" ctest --preset linux

echo "== fuzzing smoke run"
stage "fuzzing smoke run" scripts/fuzz.sh

echo "== static checks of the Windows layer"
stage "manifest rules refuse broken manifests" tests/pe/check-exe.py --self-test src/win/pardim.manifest.in
stage "callback rules refuse unguarded callbacks" tests/pe/check-callbacks.py --self-test
stage "every callback goes through the boundary" tests/pe/check-callbacks.py src/win tests/wine/TestFaults.cpp
stage "long-path rules refuse short names" tests/pe/check-long-paths.py --self-test
stage "every file name reaches Windows in its long-path form" tests/pe/check-long-paths.py src/win/Files.cpp

for preset in windows windows-x86; do
    echo "== Windows cross build: $preset"
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    echo "== $preset: what Windows checks before it starts the exes"
    stage "$preset: PE headers, manifests, imports, version" tests/pe/check-exe.py "build/$preset"
    if [ "$preset" = windows-x86 ] && [ "$PARDIM_RUNS_32BIT" != 1 ]; then
        echo "== $preset under Wine: NOT RUN on this machine: $PARDIM_RUNS_32BIT_WHY"
        skipped=$((skipped + 1))
        results+=("skipped  $preset: Wine suite (this machine does not run 32-bit programs)")
        continue
    fi
    echo "== $preset under Wine"
    stage "$preset: Wine suite" scripts/wine-e2e.sh "build/$preset" build/linux
done

echo "== Release zip"
cmake --build --preset windows-x86 --target package
stage "release zip" tests/package/check-zip.sh build/windows-x86

echo "== summary"
printf '%s\n' "${results[@]}"
echo "stages: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
