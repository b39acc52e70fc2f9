#!/bin/bash
# Builds the decryption fuzzer with clang's libFuzzer and runs it for a
# bounded time (FUZZ_SECONDS, default 120), starting from the golden containers.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/fuzz"
mkdir -p "$out/corpus"
cp "$root"/tests/data/golden/*.nbnx "$out/corpus/"
sources=("$root"/engine/*.cpp "$root"/toolkit/controls/TextConversion.cpp "$root"/fuzz/DecryptFuzz.cpp)
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -ffp-contract=off \
    -I"$root/engine" -I"$root/toolkit/controls" "${sources[@]}" -o "$out/decrypt_fuzz"
cd "$out"
./decrypt_fuzz -max_total_time="${FUZZ_SECONDS:-120}" -timeout=10 -rss_limit_mb=2048 corpus
