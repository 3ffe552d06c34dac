#!/usr/bin/env bash
# Drives the real vell under Xvfb with a real tray host (trayer): Tray, then
# the icon's popup, "&Show"; Tray again, popup, "&About...". The program must
# survive both, come back, and show the About page after the second. Then
# Ctrl+Page Up goes back a page, and the Open dialog is captioned "Open".
# Usage: tray_popup_test.sh VELL. Exits 77 (skipped) without Xvfb, trayer or
# xdotool.
set -euo pipefail
vell=$1

for tool in Xvfb trayer xdotool xwd xprop; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  [ -s "$work/vell.log" ] && { echo "--- vell's output:" >&2; cat "$work/vell.log" >&2; }
  exit 1
}

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# No session bus: Qt embeds the icon in the X tray instead of a D-Bus one.
unset DBUS_SESSION_BUS_ADDRESS
export QT_QPA_PLATFORM=xcb

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "SKIP: no X server could start"; exit 77; }
export DISPLAY=:$(cat "$work/display")

trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 32 \
  >"$work/trayer.log" 2>&1 &
pids+=($!)
xdotool search --sync --class trayer >/dev/null

"$vell" >"$work/vell.log" 2>&1 &
program=$!
pids+=("$program")
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Vell$' | head -n1) || fail "no window"

alive() { kill -0 "$program" 2>/dev/null || fail "vell ended ($*)"; }

window_visible() { xdotool search --onlyvisible --name '^Vell$' 2>/dev/null | grep -qx "$window"; }

wait_until() {
  for _ in $(seq 100); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# The icon is the program's small window embedded in the tray.
tray_icon() {
  local id
  for id in $(xdotool search --onlyvisible --class vell 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$id")"
    # shellcheck disable=SC2153  # WIDTH and HEIGHT come from the eval above
    if [ "$WIDTH" -ge 8 ] && [ "$WIDTH" -le 64 ] && [ "$HEIGHT" -ge 8 ] && [ "$HEIGHT" -le 64 ]; then
      echo "$id"
      return 0
    fi
  done
  return 1
}

to_tray() {
  # The dialog's layout is fixed, so the Tray button sits at a fixed spot.
  xdotool mousemove --window "$window" 386 372 click 1
  wait_until bash -c "! xdotool search --onlyvisible --name '^Vell\$' | grep -qx $window" ||
    fail "Tray left the window shown"
  icon=$(wait_until tray_icon >/dev/null && tray_icon) || fail "no icon in the tray"
}

# Right-clicks the icon and picks a popup item by its mnemonic.
choose() {
  xdotool mousemove --window "$icon" 4 4 click 3
  sleep 1
  xdotool key "$1"
  wait_until window_visible || { alive "after $2"; fail "$2 did not bring the window back"; }
  sleep 0.5
  alive "after $2"
}

# The top rows of the window's image: the tab bar, where no cursor blinks.
tab_bar() {
  local header
  xwd -silent -id "$window" >"$work/window.xwd"
  read -r -a header <<<"$(od -An -tu4 --endian=big -N 80 "$work/window.xwd" | tr -s ' \n' ' ')"
  # header size, then 12 bytes per colour; each row is bytes_per_line long.
  dd if="$work/window.xwd" iflag=skip_bytes,count_bytes status=none \
    skip=$((header[0] + header[19] * 12)) count=$((header[12] * 40)) | cksum
}

to_tray
choose s "Show"
expression=$(tab_bar)

to_tray
choose a "About..."
[ "$(tab_bar)" != "$expression" ] || fail "About... did not show the About page"

# As in a property sheet, Ctrl+Page Up goes back to the other page.
xdotool key ctrl+Prior
sleep 0.5
[ "$(tab_bar)" = "$expression" ] || fail "Ctrl+Page Up did not go back to the Expression page"

# Dialogs are captioned as they are, without the program's name added.
xdotool mousemove --window "$window" 106 324 click 1
dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Open' | head -n1) || fail "no Open dialog"
caption=$(xprop -id "$dialog" _NET_WM_NAME)
[ "$caption" = '_NET_WM_NAME(UTF8_STRING) = "Open"' ] || fail "the Open dialog is captioned: $caption"
xdotool key Escape
alive "after the Open dialog"

echo "PASS: Show and About... from the tray popup, Ctrl+Page Up, the Open dialog's caption"
