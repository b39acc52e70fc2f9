#!/bin/bash
# Builds the fuzzers (header, decrypt) with clang's libFuzzer under
# AddressSanitizer and UndefinedBehaviorSanitizer and runs each for
# FUZZ_SECONDS (default 120), starting from the golden containers and the
# container kit. Ends with one line per fuzzer giving its executions per
# second; fails when any fuzzer finds a crash, a hang or undefined behaviour.
# Usage: scripts/fuzz.sh [header] [decrypt]   (default: both)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/fuzz"
seconds=${FUZZ_SECONDS:-120}
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(header decrypt)

includes=(-I"$root/engine" -I"$root/text")
sanitizers="address,undefined"
common=(-std=c++17 -g -O1 -ffp-contract=off -fno-sanitize-recover=undefined "${includes[@]}")
headers=("$root"/engine/*.h "$root"/text/TextConversion.h)

# An object is remade when its source or any engine header is newer.
is_stale() {
    local object=$1 source=$2 header
    [ "$object" -nt "$source" ] || return 0
    for header in "${headers[@]}"; do
        [ "$object" -nt "$header" ] || return 0
    done
    return 1
}

build_engine() {
    mkdir -p "$out/obj"
    local source object running=0
    for source in "$root"/engine/*.cpp "$root"/text/TextConversion.cpp; do
        object="$out/obj/$(basename "$source" .cpp).o"
        is_stale "$object" "$source" || continue
        clang++ "${common[@]}" -fsanitize=fuzzer-no-link,$sanitizers -c "$source" -o "$object" &
        running=$((running + 1))
        if [ $running -ge 2 ]; then
            wait -n
            running=$((running - 1))
        fi
    done
    while [ $running -gt 0 ]; do
        wait -n
        running=$((running - 1))
    done
}

# HeaderFuzz.cpp -> header_fuzz, DecryptFuzz.cpp -> decrypt_fuzz.
build_target() {
    local name=$1 source
    source="$root/fuzz/${name^}Fuzz.cpp"
    clang++ "${common[@]}" -fsanitize=fuzzer,$sanitizers "$source" "$out"/obj/*.o \
        -o "$out/${name}_fuzz"
}

seed_corpus() {
    rm -rf "$out/seeds" && mkdir -p "$out/seeds"
    cp "$root"/tests/data/golden/*.nbnx "$root"/tests/data/containers/*.nbnx "$out/seeds/"
}

# Runs one fuzzer and prints its summary line; false on a finding.
run_target() {
    local name=$1 log="$out/$1.log" status=0 runs rate
    mkdir -p "$out/corpus-$name"
    echo "fuzz $name: running for $seconds s, log $log"
    (cd "$out" && "./${name}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$out/$name-" "corpus-$name" seeds) \
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

build_engine
seed_corpus
failed=0
for name in "${targets[@]}"; do
    build_target "$name"
done
for name in "${targets[@]}"; do
    run_target "$name" || failed=1
done
exit $failed
