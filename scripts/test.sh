#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every test, then a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUIB_SANITIZE=ON \
  -DQUIB_TESTS=ON -DQUIB_BENCH=ON >/dev/null
cmake --build build-test
# Qt, GLib and GStreamer keep process-lifetime allocations; leak reports of
# theirs would drown ours, so leak checking is left to the fuzz runs.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd build-test && ctest --output-on-failure -j2)
./scripts/fuzz.sh "${QUIB_FUZZ_SECONDS:-30}"
