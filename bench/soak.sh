#!/usr/bin/env bash
# Soak benchmark: zr410-sim with 99 controllers and every line fault at 5 % against the serial
# adapter, poll cycle, decoders and data logger (logging every second) for a given time; prints
# crashes, memory, CPU, polls and time-outs per device, every queued write and whether the
# simulator received it, and data records expected against written. Exits non-zero on a crash,
# a lost or torn record, or an acknowledged write that never arrived.
#
#   bench/soak.sh --seconds 3600 [--devices 1-99] [--fault-rate 0.05] [--baud 9600] ...
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-"$here/build"}
if [ ! -x "$build/bin/soak_bench" ] || [ ! -x "$build/bin/zr410-sim" ]; then
    "$here/scripts/setup.sh" "$build" || exit 1
fi

status=0
"$build/bin/soak_bench" "$@" || status=$?
if [ "$status" -gt 128 ]; then
    echo "monitoring engine crashes: 1 (ended by signal $((status - 128)))"
else
    echo "monitoring engine crashes: 0"
fi
exit "$status"
