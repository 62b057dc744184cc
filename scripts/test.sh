#!/usr/bin/env bash
# The test command: every test of Kestrelpad on a Debian machine.
#
#   1. native unit and contract tests (simulated platform), plain and with
#      AddressSanitizer + UndefinedBehaviorSanitizer; benchmarks are built only;
#      then every fuzz target for a few seconds under the sanitizers (longer
#      runs: scripts/fuzz.sh);
#   2. the Win32 build, its unit and contract tests under Wine (real platform);
#   3. the end-to-end scenarios: the real program driven under Wine.
#
# Installs what is missing (as root), starts its own Xvfb and throwaway Wine
# prefix, stops exactly what it started, and ends with "N passed, M failed".
set -uo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
# shellcheck source=scripts/deps.sh
source scripts/deps.sh
# shellcheck source=scripts/wine.sh
source scripts/wine.sh

kp_require_packages "${KP_TEST_PACKAGES[@]}" "${KP_WINE_PACKAGES[@]}"
kp_require_japanese_locale

jobs=$(nproc 2>/dev/null || echo 2)
logs="$top/build/test-logs"
mkdir -p "$logs"
total_passed=0
total_failed=0
summary=()

# Adds the counts of a GoogleTest log (or of the driver's own summary line).
# A run that ended without its counts (a crash) counts as one failure.
count_log() { # NAME LOG EXIT_CODE
    local name=$1 log=$2 rc=$3 passed failed
    # ctest -V prefixes each line of a test's output with "N: ".
    passed=$(grep -aoE '^([0-9]+: )?\[  PASSED  \] [0-9]+ test' "$log" | sed 's/^[0-9]*: //' | grep -oE '[0-9]+' | awk '{s+=$1} END {if (NR) print s}')
    failed=$(grep -aoE '^([0-9]+: )?\[  FAILED  \] [0-9]+ tests?, listed below' "$log" | sed 's/^[0-9]*: //' | grep -oE '[0-9]+' | awk '{s+=$1} END {if (NR) print s}')
    if [ -z "$passed" ]; then
        local line
        line=$(grep -aE '^[0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1)
        if [ -n "$line" ]; then
            passed=$(echo "$line" | cut -d' ' -f1)
            failed=$(echo "$line" | cut -d' ' -f3)
        fi
    fi
    passed=${passed:-0}
    failed=${failed:-0}
    if [ "$rc" -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; fi
    total_passed=$((total_passed + passed))
    total_failed=$((total_failed + failed))
    summary+=("$(printf '%-22s %5d passed, %d failed' "$name:" "$passed" "$failed")")
}

step() { echo; echo "==== $* ===="; }

build_native() { # DIR EXTRA_CMAKE_ARGS...
    local dir=$1; shift
    cmake -S . -B "$dir" -DKP_WERROR=ON "$@" >"$dir.configure.log" 2>&1 ||
        { cat "$dir.configure.log"; return 1; }
    cmake --build "$dir" -j"$jobs" 2>&1 | grep -vE '^\[ *[0-9]+%\]|^-- ' || true
    [ "${PIPESTATUS[0]}" -eq 0 ]
}

# Runs every fuzz target of a build for a few seconds: one pass each, or a
# failure with the input that replays it in the target's log.
run_fuzz_targets() { # DIR SECONDS
    local dir=$1 seconds=$2 exe name log rc
    for exe in "$dir"/tests/fuzz/kp_fuzz_*; do
        [ -x "$exe" ] || continue
        name=$(basename "$exe")
        log="$logs/$name.log"
        "$exe" -seconds="$seconds" -artifact_prefix="$logs/$name-" >"$log" 2>&1
        rc=$?
        if [ "$rc" -eq 0 ]; then
            echo "$name: $(grep -aE '^[0-9]+ runs in' "$log" | tail -n 1)"
        else
            echo "$name: FAILED (exit $rc), see $log"
            grep -aE '^====|runtime error|ERROR: AddressSanitizer|fuzz check failed' "$log" | cut -c1-300 | head -n 8
        fi
        count_log "fuzz ${name#kp_fuzz_}" "$log" "$rc"
    done
}

run_ctest() { # NAME DIR
    local name=$1 dir=$2 log="$logs/$1.log" rc
    ctest --test-dir "$dir" --output-on-failure -V >"$log" 2>&1
    rc=$?
    grep -aE '^([0-9]+: )?(\[  (PASSED|FAILED) +\]|.*: Failure$|.*Sanitizer)' "$log" | sed 's/^[0-9]*: //' | head -n 40
    count_log "$name" "$log" "$rc"
}

mkdir -p build
step "native build"
if build_native build/native; then
    step "native tests"
    run_ctest native build/native
else
    summary+=("native: build failed"); total_failed=$((total_failed + 1))
fi

step "native build with sanitizers"
if build_native build/sanitize -DKP_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug; then
    step "native tests with sanitizers"
    run_ctest sanitized build/sanitize
    step "fuzz targets with sanitizers"
    run_fuzz_targets build/sanitize 3
else
    summary+=("sanitized: build failed"); total_failed=$((total_failed + 1))
fi

step "win32 build"
win32_ok=1
cmake -S . -B build/win32 -DKP_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" >build/win32.configure.log 2>&1 ||
    { cat build/win32.configure.log; win32_ok=0; }
if [ $win32_ok = 1 ]; then
    cmake --build build/win32 -j"$jobs" 2>&1 | grep -vE '^\[ *[0-9]+%\]|^-- '
    [ "${PIPESTATUS[0]}" -eq 0 ] || win32_ok=0
fi

if [ $win32_ok = 1 ]; then
    step "win32 tests under Wine"
    prefix=$(mktemp -d /tmp/kp-test-wine.XXXXXX)
    cleanup() {
        kp_wine_env "$prefix"
        wineserver -k >/dev/null 2>&1 || true
        kp_stop_xvfb
        rm -rf "$prefix"
    }
    trap cleanup EXIT
    kp_start_xvfb
    kp_wine_prepare_prefix "$prefix" --unmanaged
    kp_wine_env "$prefix"
    log="$logs/win32.log"
    wine build/win32/tests/kp_tests_win32.exe >"$log" 2>&1
    rc=$?
    grep -aE '^\[  (PASSED|FAILED) +\]|: Failure' "$log" | head -n 40
    count_log win32 "$log" "$rc"

    step "end-to-end scenarios under Wine"
    log="$logs/e2e.log"
    bash scripts/e2e.sh build/win32 2>&1 | tee "$log"
    count_log end-to-end "$log" "${PIPESTATUS[0]}"
else
    summary+=("win32: build failed"); total_failed=$((total_failed + 1))
fi

step "summary"
printf '%s\n' "${summary[@]}"
echo "$total_passed passed, $total_failed failed"
[ "$total_failed" -eq 0 ]
