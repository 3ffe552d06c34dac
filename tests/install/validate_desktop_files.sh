#!/usr/bin/env bash
# Runs the desktop's own validators over what an installation puts on the
# desktop. Any complaint fails, warnings included.
# Usage: validate_desktop_files.sh desktop|metainfo|man FILE...
set -uo pipefail
kind=$1
shift
failed=0
for file in "$@"; do
  case $kind in
    desktop) output=$(desktop-file-validate "$file" 2>&1); status=$? ;;
    metainfo) output=$(appstreamcli validate --no-net --no-color "$file" 2>&1); status=$? ;;
    man) output=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null); status=$? ;;
    *) echo "unknown kind $kind" >&2; exit 2 ;;
  esac
  # appstreamcli reports its verdict and notes ("I:") even when content.
  if [ "$kind" = metainfo ]; then
    output=$(printf '%s\n' "$output" | grep -E '^[EW]:' || true)
  fi
  if [ "$status" -ne 0 ] || [ -n "$output" ]; then
    echo "FAIL: $file (status $status)"
    printf '%s\n' "$output"
    failed=1
  else
    echo "ok: $file"
  fi
done
exit $failed
