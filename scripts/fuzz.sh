#!/usr/bin/env bash
# Long fuzzing runs by hand: scripts/fuzz.sh [SECONDS] [TARGET...]
#
# Runs each fuzz target of tests/fuzz (all of them, or the named ones:
# settings, shortcut, history, command_line, text_buffer, edit_undo,
# date_time, template, id_list, drop_files) for
# SECONDS (default 60), one after another, under AddressSanitizer and
# UndefinedBehaviorSanitizer, and reports runs and runs per second.
#
# With clang and its fuzzer runtime the targets are built for libFuzzer
# (coverage-guided, in build/fuzz-libfuzzer; the corpus grows in
# build/fuzz-corpus/TARGET across runs); otherwise with g++ and the targets'
# own driver (build/fuzz-driver). KP_FUZZ_ENGINE=driver or libfuzzer chooses.
# A finding is written to build/fuzz-findings/ and replays with
#   build/fuzz-*/tests/fuzz/kp_fuzz_TARGET FILE
# Ends with "N passed, M failed".
set -uo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

seconds=${1:-60}
shift || true
case $seconds in
    '' | *[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS] [TARGET...]" >&2; exit 2 ;;
esac

engine=${KP_FUZZ_ENGINE:-}
if [ -z "$engine" ]; then
    engine=driver
    if command -v clang++ >/dev/null 2>&1 &&
        echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' |
        clang++ -x c++ -fsanitize=fuzzer,address,undefined -o /dev/null - >/dev/null 2>&1; then
        engine=libfuzzer
    fi
fi

jobs=$(nproc 2>/dev/null || echo 2)
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ "$engine" = libfuzzer ]; then
    dir=build/fuzz-libfuzzer
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKP_SANITIZE=ON -DKP_LIBFUZZER=ON \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >"$dir.configure.log" 2>&1 ||
        { cat "$dir.configure.log"; exit 1; }
else
    dir=build/fuzz-driver
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKP_SANITIZE=ON "${launcher[@]}" \
        >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
fi
echo "building the fuzz targets ($engine) in $dir"
cmake --build "$dir" -j"$jobs" --target kp_fuzz 2>&1 | grep -vE '^\[ *[0-9]+%\]|^-- |^gmake' || true
[ "${PIPESTATUS[0]}" -eq 0 ] || { echo "the fuzz targets did not build" >&2; exit 1; }

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for exe in "$dir"/tests/fuzz/kp_fuzz_*; do
        [ -x "$exe" ] && targets+=("$(basename "$exe" | sed 's/^kp_fuzz_//')")
    done
fi

findings=build/fuzz-findings
logs=build/fuzz-logs
mkdir -p "$findings" "$logs"
passed=0
failed=0
for target in "${targets[@]}"; do
    exe=$dir/tests/fuzz/kp_fuzz_$target
    [ -x "$exe" ] || { echo "no fuzz target $target" >&2; failed=$((failed + 1)); continue; }
    log=$logs/$target.log
    echo "==== $target for $seconds s"
    if [ "$engine" = libfuzzer ]; then
        corpus=build/fuzz-corpus/$target
        mkdir -p "$corpus"
        "$exe" "$corpus" -max_total_time="$seconds" -max_len=4096 -timeout=20 -rss_limit_mb=4096 \
            -print_final_stats=1 -artifact_prefix="$findings/$target-" >"$log" 2>&1
        rc=$?
        runs=$(grep -aoE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$')
        rate=$(grep -aoE 'stat::average_exec_per_sec: *[0-9]+' "$log" | grep -oE '[0-9]+$')
        cov=$(grep -aoE '^#[0-9]+.*(DONE|INITED).*cov: [0-9]+ ft: [0-9]+' "$log" | tail -n 1 | grep -oE 'cov: [0-9]+ ft: [0-9]+')
        result="${runs:-?} runs, ${rate:-?} runs/s, ${cov:-no coverage line}, corpus $(find "$corpus" -type f | wc -l) inputs"
    else
        "$exe" -seconds="$seconds" -artifact_prefix="$findings/$target-" >"$log" 2>&1
        rc=$?
        result=$(grep -aE '^[0-9]+ runs in' "$log" | tail -n 1)
    fi
    if [ "$rc" -eq 0 ]; then
        echo "$target: $result"
        passed=$((passed + 1))
    else
        echo "$target: FINDING (exit $rc), log $log"
        grep -aE '^====|runtime error|ERROR: AddressSanitizer|fuzz check failed|Test unit written' "$log" |
            cut -c1-300 | head -n 12
        failed=$((failed + 1))
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
