#!/usr/bin/env bash
# Usage: layer_test.sh BUILD_DIR. The own-layer target must build; each
# target that includes a higher layer's header must fail on that header.
set -u
build=$1
cmake --build "$build" --target layer_own >/dev/null || { echo "FAIL: a layer cannot include itself"; exit 1; }
status=0
for pair in component_uses_app:app/settings_store.h platform_uses_components:components/tray_icon.h; do
  target=layer_${pair%%:*}
  header=${pair#*:}
  if output=$(cmake --build "$build" --target "$target" 2>&1); then
    echo "FAIL: $target built"
    status=1
  elif ! grep -q "$header: No such file" <<<"$output"; then
    echo "FAIL: $target failed for another reason:"
    echo "$output" | tail -n 5
    status=1
  fi
done
[ $status -eq 0 ] && echo "PASS: each layer sees only itself and the layers below"
exit $status
