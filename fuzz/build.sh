#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build/fuzz (or $VELL_FUZZ_BUILD).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELL_FUZZ_BUILD:-$root/build/fuzz}
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
CC=clang CXX=clang++ cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELL_BUILD_FUZZ=ON -DBUILD_TESTING=OFF -DVELL_BUILD_BENCH=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target fuzz_evaluate fuzz_sheet fuzz_number_text
