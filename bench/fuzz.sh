#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer) in
# build-fuzz/ and runs them one after the other.
#
#   bench/fuzz.sh --seconds 600 [target...]   fuzz each target for that long, starting from its
#                                             committed seeds; print executions and findings
#   bench/fuzz.sh --runs 10000000 [target...] the same, for that many executions per target
#   bench/fuzz.sh --corpus-only [target...]   run each target once over its committed seeds
#                                             (what CI does: seconds)
#
# Targets: fuzz_frames fuzz_data_file fuzz_comm_cfg fuzz_setmulti_ini fuzz_savedata_ini
# fuzz_viewer_cfg fuzz_sim_request (default: all). New inputs found while fuzzing go to
# build-fuzz/corpus/<target>/, findings to build-fuzz/findings/<target>/; the script exits
# non-zero when any target found something.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${FUZZ_BUILD_DIR:-"$here/build-fuzz"}
seeds="$here/fuzz/corpus"
all_targets=(fuzz_frames fuzz_data_file fuzz_comm_cfg fuzz_setmulti_ini fuzz_savedata_ini
             fuzz_viewer_cfg fuzz_sim_request)

mode=""
limit=()
case "${1:-}" in
    --seconds) mode=fuzz; limit=(-max_total_time="${2:?--seconds needs a number}"); shift 2 ;;
    --runs) mode=fuzz; limit=(-runs="${2:?--runs needs a number}"); shift 2 ;;
    --corpus-only) mode=corpus; shift ;;
    *) echo "usage: bench/fuzz.sh --seconds N | --runs N | --corpus-only [target...]" >&2
       exit 2 ;;
esac
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")

# Only the targets and the core libraries they need are built, not the windows.
"$here/scripts/setup.sh" --packages-only
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZR410_FUZZ=ON \
    -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --target "${targets[@]}" -j 2 >/dev/null

# Inputs larger than any frame assembly or data line buffer, so their limits are crossed.
max_len() {
    case "$1" in
        fuzz_frames|fuzz_data_file) echo 16384 ;;
        *) echo 4096 ;;
    esac
}

export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export ASAN_OPTIONS="detect_leaks=1"
failed=0
printf '%-18s %14s %10s %8s %8s %s\n' target executions "exec/s" seconds findings corpus
for target in "${targets[@]}"; do
    exe="$build/bin/$target"
    findings="$build/findings/$target"
    log="$build/logs/$target.log"
    mkdir -p "$findings" "$(dirname "$log")"
    if [ "$mode" = corpus ]; then
        args=(-runs=0 "$seeds/$target")
    else
        work="$build/corpus/$target"
        mkdir -p "$work"
        args=("${limit[@]}" -max_len="$(max_len "$target")" -timeout=10 -rss_limit_mb=2048
              "$work" "$seeds/$target")
    fi
    start=$(date +%s)
    status=0
    "$exe" -artifact_prefix="$findings/" -print_final_stats=1 "${args[@]}" >"$log" 2>&1 ||
        status=$?
    elapsed=$(( $(date +%s) - start ))
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    found=$(find "$findings" -type f | wc -l)
    corpus=$(find "$seeds/$target" ${work:+"$work"} -type f 2>/dev/null | wc -l)
    printf '%-18s %14s %10s %8s %8s %s\n' "$target" "${runs:-?}" "${rate:-?}" "$elapsed" \
        "$found" "$corpus"
    if [ "$status" -ne 0 ] || [ "$found" -gt 0 ]; then
        failed=1
        echo "  $target: exit $status; see $log and $findings" >&2
        grep -m 5 -E 'ERROR|runtime error|invariant broken|SUMMARY' "$log" >&2 || true
    fi
    unset work
done
exit $failed
