#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build/fuzz) and runs each on a copy of its seed corpus
# from tests/fuzz/corpus; fails on the first target that crashes or breaks an invariant.
# usage: scripts/fuzz.sh              smoke run: about 5 seconds per target
#        scripts/fuzz.sh long SECONDS  each target for SECONDS, one after another
# The grown corpora and any crashing input stay in build/fuzz/runs/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=5
if [ "${1:-}" = long ]; then
    seconds=${2:?usage: scripts/fuzz.sh long SECONDS}
elif [ $# -ne 0 ]; then
    echo "usage: scripts/fuzz.sh [long SECONDS]" >&2
    exit 2
fi

CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPARDIM_FUZZ=ON -DPARDIM_TESTS=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build build/fuzz --target pardim-fuzz

failed=0
passed=0
for seeds in tests/fuzz/corpus/*/; do
    name=$(basename "$seeds")
    target=build/fuzz/tests/fuzz/$name
    run=build/fuzz/runs/$name
    rm -rf "$run"
    mkdir -p "$run/corpus"
    cp "$seeds"* "$run/corpus/"
    if "$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
        -dict=tests/fuzz/exchange.dict -artifact_prefix="$run/" "$run/corpus" >"$run/log" 2>&1; then
        units=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run/log")
        cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$run/log" | tail -1)
        echo "PASS $name ($units runs, $cov)"
        passed=$((passed + 1))
    else
        echo "FAIL $name (see $run/log)"
        grep -E 'invariant broken|ERROR:|runtime error' "$run/log" | head -3 || true
        failed=$((failed + 1))
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
