#!/usr/bin/env bash
# Starts the real vell twice: the second start must hand over to the first
# and end, and a copy killed without warning must not keep the next one from
# starting. Usage: second_start_test.sh VELL
set -euo pipefail
vell=$1

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

export QT_QPA_PLATFORM=offscreen HOME=$work/home XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/home/.config
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
socket=$XDG_RUNTIME_DIR/vell-$(id -u).socket

fail() { echo "FAIL: $*" >&2; exit 1; }

# Waits until the socket takes connections from a later start.
wait_for_socket() {
  for _ in $(seq 300); do
    [ -S "$socket" ] && return 0
    sleep 0.1
  done
  fail "no socket at $socket"
}

"$vell" 2>"$work/first.log" & first=$!
pids+=("$first")
wait_for_socket

for n in 1 2; do
  status=0
  timeout 30 "$vell" 2>"$work/later.log" || status=$?
  [ "$status" -eq 0 ] || fail "start $n beside a running copy ended with $status"
  kill -0 "$first" 2>/dev/null || fail "the running copy is gone after start $n"
done

# A crash leaves the socket behind.
kill -9 "$first"
wait "$first" 2>/dev/null || true
[ -S "$socket" ] || fail "expected the crashed copy's socket to be left"
# The inode number alone may be reused for the new socket; its change time is not.
old=$(stat -c '%i %z' "$socket")

"$vell" 2>"$work/next.log" & next=$!
pids+=("$next")
for _ in $(seq 300); do
  [ -S "$socket" ] && [ "$(stat -c '%i %z' "$socket")" != "$old" ] && break
  kill -0 "$next" 2>/dev/null || fail "the start after a crash ended: $(cat "$work/next.log")"
  sleep 0.1
done
[ "$(stat -c '%i %z' "$socket")" != "$old" ] || fail "the start after a crash did not take the socket over"
status=0
timeout 30 "$vell" 2>/dev/null || status=$?
[ "$status" -eq 0 ] || fail "a start beside the new copy ended with $status"
kill -0 "$next" 2>/dev/null || fail "the new copy is gone"
echo "PASS"
