#!/usr/bin/env bash
# Instruction counts of the evaluation workloads, which repeat exactly on a
# busy machine: per W1 expression, W2 term and W3 level, for the engine alone
# (Engine::EvaluateExpression and all it calls) and for the whole
# `vell-eval < FILE` process less `vell-eval < /dev/null`.
# Usage: bench/callgrind.sh [BUILD_DIR]   (a release build; default build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
eval=$build/cli/vell-eval
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/write_workloads" "$work"

total() {  # the program total of a callgrind output file
  callgrind_annotate "$1" | awk '/PROGRAM TOTALS/ {gsub(",", "", $1); if (!done) print $1; done = 1}'
}
engine() {  # the inclusive count of Engine::EvaluateExpression
  callgrind_annotate --inclusive=yes "$1" |
    awk '/vell::Engine::EvaluateExpression/ {gsub(",", "", $1); if (!done) print $1; done = 1}'
}
run() {  # run NAME INPUT
  valgrind --tool=callgrind --callgrind-out-file="$work/$1.out" "$eval" <"$2" >/dev/null 2>"$work/$1.log" || true
}

run empty /dev/null
base=$(total "$work/empty.out")
printf '%-4s %10s %12s %12s\n' "" units "engine/unit" "process/unit"
for w in w1 w2 w3; do
  run "$w" "$work/$w.txt"
  lines=$(wc -l <"$work/$w.txt")
  case $w in
    w1) units=$lines ;;
    w2) units=$((lines * 3000)) ;;  # terms
    w3) units=$((lines * 200)) ;;   # levels
  esac
  all=$(total "$work/$w.out")
  inner=$(engine "$work/$w.out")
  printf '%-4s %10d %12.0f %12.0f\n' "$w" "$units" "$(echo "$inner / $units" | bc -l)" \
    "$(echo "($all - $base) / $units" | bc -l)"
done
