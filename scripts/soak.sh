#!/usr/bin/env bash
# Long soak runs by hand: scripts/soak.sh [STEPS] [SEEDS] [FIRST_SEED]
#
# Builds kp_tests with AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer (build/sanitize, as scripts/test.sh does) and
# walks the main window through STEPS random steps (default 10000) for each
# of SEEDS seeds (default 5) from FIRST_SEED (default 1), one process per
# seed. A failing seed prints its replay line; ends with "N passed, M failed".
set -uo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

steps=${1:-10000}
seeds=${2:-5}
first=${3:-1}
for n in "$steps" "$seeds" "$first"; do
    case $n in
        '' | *[!0-9]*) echo "usage: scripts/soak.sh [STEPS] [SEEDS] [FIRST_SEED]" >&2; exit 2 ;;
    esac
done

dir=build/sanitize
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$dir" -DKP_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DKP_WERROR=ON "${launcher[@]}" \
    >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
echo "building kp_tests with the sanitizers in $dir"
cmake --build "$dir" -j"$(nproc 2>/dev/null || echo 2)" --target kp_tests 2>&1 |
    grep -vE '^\[ *[0-9]+%\]|^-- |^gmake' || true
[ "${PIPESTATUS[0]}" -eq 0 ] || { echo "kp_tests did not build" >&2; exit 1; }

mkdir -p build/soak-logs
passed=0
failed=0
for ((seed = first; seed < first + seeds; seed++)); do
    log=build/soak-logs/seed-$seed.log
    start=$(date +%s)
    KP_SOAK_SEED=$seed KP_SOAK_STEPS=$steps ASAN_OPTIONS=detect_leaks=1 \
        "$dir/tests/kp_tests" --gtest_filter='Seeds/Soak.*' >"$log" 2>&1
    rc=$?
    if [ "$rc" -eq 0 ]; then
        echo "seed $seed: $steps steps in $(($(date +%s) - start)) s"
        passed=$((passed + 1))
    else
        echo "seed $seed: FAILED (exit $rc), log $log"
        grep -aE '^seed |^last steps|^replay|ERROR: (Address|Leak)Sanitizer|runtime error' "$log" | cut -c1-400 | head -n 8
        failed=$((failed + 1))
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
