#!/usr/bin/env bash
# Runs vell-eval under valgrind's memcheck on the test vectors: once in batch
# mode with the variable sheet and its report, once per vector on the command
# line. Any memory error or leak fails the test.
# Usage: memcheck_test.sh VALGRIND VELL_EVAL VECTORS SHEET
set -u
valgrind=$1 bin=$2 vectors=$3 sheet=$4
memcheck=("$valgrind" --quiet --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite,indirect)
status=0

"${memcheck[@]}" "$bin" -f "$sheet" --details <"$vectors" >/dev/null
code=$?
if [ $code -eq 99 ] || [ $code -gt 1 ]; then
  echo "FAIL batch run: exit status $code"
  status=1
fi

count=0
while IFS= read -r expression; do
  "${memcheck[@]}" "$bin" --raw -- "$expression" >/dev/null
  code=$?
  count=$((count + 1))
  if [ $code -eq 99 ] || [ $code -gt 1 ]; then
    echo "FAIL [$expression]: exit status $code"
    status=1
  fi
done < <(head -n 12 "$vectors")
echo "memcheck: batch run and $count single runs"
exit $status
