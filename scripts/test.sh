#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite (unit, engine scenarios,
# window tests on the offscreen platform, end-to-end tests over the simulator's pseudo-terminal).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-"$here/build"}

"$here/scripts/setup.sh" "$build"
mkdir -p /tmp/zr410-test-runtime && chmod 700 /tmp/zr410-test-runtime
cd "$build"
ctest --output-on-failure -j 2 --timeout 300
