#!/usr/bin/env bash
# Builds Vell and runs every test: the normal build in build/, then the
# AddressSanitizer + UndefinedBehaviorSanitizer build in build/sanitize/.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
jobs=$(nproc)

cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELL_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build/sanitize "${generator[@]}" -DCMAKE_BUILD_TYPE=Debug -DVELL_SANITIZE=ON \
      -DVELL_WERROR=ON -DVELL_BUILD_BENCH=OFF
cmake --build build/sanitize -j "$jobs"
# AddressSanitizer's redzones make every frame several times larger; the
# engine's nesting limit is sized for the stack of a normal build.
ulimit -s 65536 2>/dev/null || true
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/sanitize --output-on-failure -j "$jobs"
