#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time; a crash fails.
# Usage: bash scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

source scripts/deps.sh
setforge_install_deps clang libclang-rt-14-dev

cmake --preset fuzz
cmake --build --preset fuzz
for target in fuzz_userconfig fuzz_buy_script fuzz_parse_userconfig fuzz_library_folders fuzz_box_text \
    fuzz_config_text fuzz_check_userconfig; do
    corpus="build/fuzz/corpus/$target"
    mkdir -p "$corpus"
    echo "== $target for ${seconds}s"
    "build/fuzz/tests/fuzz/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 -artifact_prefix="build/fuzz/" "$corpus" 2>&1 | tail -n 12
done
