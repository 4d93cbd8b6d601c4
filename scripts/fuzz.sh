#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time; a crash fails.
# Usage: bash scripts/fuzz.sh [seconds per target, default 60]
#        bash scripts/fuzz.sh --changed-since REV LONG SHORT [TOTAL]
#   The second form gives LONG seconds to each target whose input code differs from REV (in the
#   commits since it or in the work tree), SHORT to the others, and never more than TOTAL seconds
#   (default 300) in all: the long runs share what the short ones leave.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(fuzz_userconfig fuzz_buy_script fuzz_parse_userconfig fuzz_library_folders fuzz_box_text
    fuzz_config_text fuzz_check_userconfig)

base=""
if [ "${1:-}" = --changed-since ]; then
    base=$2
    long=$3
    short=$4
    total=${5:-300}
else
    long="${1:-60}"
fi

source scripts/deps.sh
setforge_install_deps clang libclang-rt-14-dev

cmake --preset fuzz
cmake --build --preset fuzz

# A target's input code: its own source, the sources that read a header it includes (the code
# behind the functions it calls), every project header those read, the source beside each such
# header, and so on, from the compiler's own dependency records.
ninja -C build/fuzz -t deps | awk -v root="$PWD/" '
    /^[^ \t]/ { source = ""; next }
    NF {
        path = $1
        sub(/^(\.\.\/)+/, "", path); sub("^" root, "", path)
        if (path !~ /^(src|tests)\//) next
        if (source == "") source = path; else print source, path
    }' | sort -u >build/fuzz/input-deps.txt
input_files() {
    local todo=("tests/fuzz/$1.cpp") seen=" " file dep header
    while read -r header; do
        while read -r dep; do todo+=("$dep"); done < <(awk -v h="$header" '$2 == h && $1 ~ /^src\// { print $1 }' build/fuzz/input-deps.txt)
    done < <(sed -n 's/^#include "\(\(config\|buyscript\|game\)\/[^"]*\)"/src\/\1/p' "tests/fuzz/$1.cpp")
    while [ ${#todo[@]} -gt 0 ]; do
        file=${todo[0]}
        todo=("${todo[@]:1}")
        [[ $seen == *" $file "* ]] && continue
        seen+="$file "
        echo "$file"
        [[ $file == *.h ]] && [ -f "${file%.h}.cpp" ] && todo+=("${file%.h}.cpp")
        while read -r dep; do todo+=("$dep"); done < <(awk -v f="$file" '$1 == f { print $2 }' build/fuzz/input-deps.txt)
    done
}

declare -A seconds
if [ -n "$base" ]; then
    if changed=$(git diff --name-only "$base" -- 2>/dev/null); then
        changed+=$'\n'$(git ls-files --others --exclude-standard)
    else
        echo "fuzz: $base is no revision here; every target counts as changed"
        changed=ALL
    fi
    long_targets=()
    for target in "${targets[@]}"; do
        if [ "$changed" = ALL ] || grep -qxF -f <(input_files "$target" | sort -u) <<<"$changed"; then
            long_targets+=("$target")
        else
            seconds[$target]=$short
        fi
    done
    if [ ${#long_targets[@]} -gt 0 ]; then
        left=$((total - short * (${#targets[@]} - ${#long_targets[@]})))
        share=$((left / ${#long_targets[@]}))
        [ "$share" -lt "$long" ] && long=$share
        [ "$long" -lt "$short" ] && long=$short
        for target in "${long_targets[@]}"; do seconds[$target]=$long; done
    fi
    echo "fuzz: input changed since $base: ${long_targets[*]:-none} (${long}s each), the others ${short}s"
else
    for target in "${targets[@]}"; do seconds[$target]=$long; done
fi

for target in "${targets[@]}"; do
    corpus="build/fuzz/corpus/$target"
    mkdir -p "$corpus"
    echo "== $target for ${seconds[$target]}s"
    "build/fuzz/tests/fuzz/$target" -max_total_time="${seconds[$target]}" -max_len=4096 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="build/fuzz/" "$corpus" 2>&1 | tail -n 12
done
