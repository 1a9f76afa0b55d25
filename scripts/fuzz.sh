#!/usr/bin/env bash
# Builds the libFuzzer targets in fuzz/ with clang and runs each for SECONDS (default 30):
#   scripts/fuzz.sh [SECONDS]
# The build folder is build-fuzz/ (or $VELTRAN_FUZZ_BUILD_DIR); each target keeps its corpus in
# <build>/corpus/<target> between runs and writes any crashing input to <build>/findings/<target>/.
# Installs clang and the libFuzzer runtime when missing. Exits 1 when a target found a fault.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELTRAN_FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${1:-30}"
targets=(${VELTRAN_FUZZ_TARGETS:-decoders conversion mapping wildcard rules})

"$root/scripts/install-deps.sh"
if ! command -v clang++ >/dev/null 2>&1 || ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, long) { return 0; }' |
    clang++ -x c++ -fsanitize=fuzzer -o /dev/null - >/dev/null 2>&1; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends clang libclang-rt-dev
fi

# The mapping-table generator runs during the build with the sanitizers in; OpenCC's own
# allocations that live until exit are not what is being looked for.
export ASAN_OPTIONS="detect_leaks=0"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRAN_FUZZ=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"
unset ASAN_OPTIONS

# Seeds: the sample site's GB pages, the demo rules, and a few patterns and names.
seeds="$build/seeds"
mkdir -p "$seeds/decoders" "$seeds/conversion" "$seeds/mapping" "$seeds/wildcard" "$seeds/rules"
find "$root/samples" -type f -exec cp {} "$seeds/decoders/" \;
# A conversion's first byte chooses the options: GB to UTF-8, GB to BIG5 with rules, guessed to GB,
# GB to UTF-8 with the declarations rewritten.
for page in "$seeds/decoders"/*; do
    for choice in '\x08' '\x14' '\x03' '\x28'; do
        { printf "$choice"; cat "$page"; } >"$seeds/conversion/$(basename "$page")-$(printf %s "$choice" | tr -d '\\')"
    done
done
# The mapping takes UTF-16: the sample pages, and a few Traditional and Simplified manual pages.
for page in "$seeds/decoders"/*; do
    iconv -f CP936 -t UTF-16LE "$page" >"$seeds/mapping/$(basename "$page")" 2>/dev/null || true
done
for page in /usr/share/man/zh_TW/man1/ls.1.gz /usr/share/man/zh_CN/man1/ls.1.gz; do
    if [ -f "$page" ]; then
        gzip -dc "$page" | iconv -f UTF-8 -t UTF-16LE >"$seeds/mapping/$(basename "$(dirname "$(dirname "$page")")")-ls"
    fi
done
cp "$root/scripts/demo.rules" "$seeds/rules/"
printf '*.htm|*.asp\0index.HTM' >"$seeds/wildcard/filter"
printf '[a-z]#?[!x]*.js\0m9x-menu.js' >"$seeds/wildcard/sets"

status=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    findings="$build/findings/$target"
    mkdir -p "$corpus" "$findings"
    echo "== fuzz_$target for ${seconds}s"
    if ! "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" "$seeds/$target" 2>"$build/fuzz_$target.log"; then
        status=1
        echo "fuzz_$target found a fault; input in $findings/, log $build/fuzz_$target.log:"
        grep -E "ERROR|check failed|SUMMARY|runtime error" "$build/fuzz_$target.log" | head -20
    fi
    grep -E "^stat::(number_of_executed_units|peak_rss_mb)|cov: .*corp" "$build/fuzz_$target.log" | tail -3
done
exit $status
