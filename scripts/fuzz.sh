#!/bin/bash
# Builds the fuzzers (header, decrypt, strong) with clang's libFuzzer under
# AddressSanitizer and UndefinedBehaviorSanitizer and runs each for
# FUZZ_SECONDS (default 120), starting from the golden containers and the
# container kit (strong: from the strong container kit, opened into its input
# form). Ends with one line per fuzzer giving its executions per
# second; fails when any fuzzer finds a crash, a hang or undefined behaviour.
# Usage: scripts/fuzz.sh [header] [decrypt] [strong]   (default: all three)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/fuzz"
seconds=${FUZZ_SECONDS:-120}
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(header decrypt strong)

# The fuzzers are targets of the project's clang build (preset fuzz).
build_targets() {
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz --target "${targets[@]/%/_fuzz}" >/dev/null
}

seed_corpus() {
    rm -rf "$out/seeds" && mkdir -p "$out/seeds"
    cp "$root"/tests/data/golden/*.nbnx "$root"/tests/data/containers/*.nbnx "$out/seeds/"
    # Kept apart from the version 1 fuzzers' seeds: a whole decryption of a
    # mutated version 2 header may ask for a gigabyte-sized derivation.
    rm -rf "$out/seeds-strong" && mkdir -p "$out/seeds-strong"
    cp "$root"/tests/data/strong/*.nbnx "$out/seeds-strong/"
}

# Runs one fuzzer and prints its summary line; false on a finding.
run_target() {
    local name=$1 log="$out/$1.log" status=0 runs rate seeds=seeds
    mkdir -p "$out/corpus-$name"
    [ "$name" != strong ] || seeds=seeds-strong
    echo "fuzz $name: running for $seconds s, log $log"
    (cd "$out" && NB_STRONG_FUZZ_SEEDS="$out/seeds-strong" "./fuzz/${name}_fuzz" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$out/$name-" "corpus-$name" "$seeds") \
        >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    if [ $status -eq 0 ]; then
        echo "fuzz $name: ${rate:-?} exec/s, ${runs:-?} runs in ${seconds} s, no finding"
        return 0
    fi
    tail -n 40 "$log"
    echo "fuzz $name: FINDING (exit $status, ${rate:-?} exec/s); log $log, input $out/$name-*"
    return 1
}

build_targets
seed_corpus
failed=0
for name in "${targets[@]}"; do
    run_target "$name" || failed=1
done
exit $failed
