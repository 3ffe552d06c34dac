#!/usr/bin/env bash
# Installs what Vell needs, builds it and starts the calculator window.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to show Vell on: run it under a virtual one (xvfb-run -a build/app/vell), or use the command-line build/cli/vell-eval." >&2
  exit 0
fi
exec build/app/vell
