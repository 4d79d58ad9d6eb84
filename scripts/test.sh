#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite (unit, engine scenarios,
# window tests on the offscreen platform, end-to-end tests over the simulator's pseudo-terminal).
#
#   scripts/test.sh              in build/
#   scripts/test.sh --sanitize   the same suite, everything built with AddressSanitizer and
#                                UndefinedBehaviorSanitizer, in build-asan/; any report fails
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

cmake_options=()
if [ "${1:-}" = "--sanitize" ]; then
    build=${BUILD_DIR:-"$here/build-asan"}
    cmake_options=(-DZR410_SANITIZE=ON)
    # Set before the build too: test discovery runs the test programs.
    export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1"
    export LSAN_OPTIONS="suppressions=$here/scripts/sanitizers/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
elif [ -n "${1:-}" ]; then
    echo "usage: scripts/test.sh [--sanitize]" >&2
    exit 2
else
    build=${BUILD_DIR:-"$here/build"}
fi

"$here/scripts/setup.sh" "$build" "${cmake_options[@]}"
mkdir -p /tmp/zr410-test-runtime && chmod 700 /tmp/zr410-test-runtime
cd "$build"
ctest --output-on-failure -j 2 --timeout 300
