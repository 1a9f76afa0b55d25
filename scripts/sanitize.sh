#!/usr/bin/env bash
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer in a separate folder and runs
# them with CTest:
#   scripts/sanitize.sh
# The build folder is build-sanitize/ (or $VELTRAN_SANITIZE_BUILD_DIR). Any sanitizer finding stops
# the test that made it, so CTest fails; leaks are reported when the test program exits.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELTRAN_SANITIZE_BUILD_DIR:-$root/build-sanitize}"
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
# Everything is built, since some tests run the programs and the packaging files. Test discovery
# runs the test programs during the build, and the table generator runs then too.
ASAN_OPTIONS="detect_leaks=0" cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
ctest --output-on-failure -j"$(nproc)"
