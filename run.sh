#!/usr/bin/env bash
# Installs what Vell needs, builds it and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

echo "vell-eval: type one expression per line, end with Ctrl-D." >&2
exec build/cli/vell-eval "$@"
