#!/usr/bin/env bash
# A phone's burst of actions during a counted game (bench/bench_burst.cpp), on the disk as it
# is and on a slow one: bench/slow_fsync.c preloaded, every flush CHIPLARK_SLOW_WRITE_MS
# (2000) longer. One row each: the game timer's drift, the longest wait between two pushes a
# watching page saw, the actions taken and refused, and the writes of the game's file.
#   bench/burst_bench.sh [build folder, default build-bench] [seconds, default 15] [actions, default 10000]
# The game's file goes to a folder under TMPDIR: set it to a real disk for the first row.
set -euo pipefail
build="$(realpath "${1:-build-bench}")"
seconds="${2:-15}"
actions="${3:-10000}"
export QT_QPA_PLATFORM=offscreen
echo "disk as it is:    $("$build/bench/bench_burst" "$seconds" "$actions")"
slow="${CHIPLARK_SLOW_WRITE_MS:-2000}"
echo "fsync +$slow ms: $(CHIPLARK_SLOW_WRITE_MS=$slow LD_PRELOAD="$build/bench/libslow_fsync.so" \
  "$build/bench/bench_burst" "$seconds" "$actions")"
