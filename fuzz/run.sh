#!/usr/bin/env bash
# Builds the fuzz targets and runs each for SECONDS (default 20), one after
# the other: fuzz/run.sh [SECONDS] [TARGET...]
# Targets: evaluate, sheet, number_text (all by default). Any crash, sanitizer
# report, failed check or input slower than one second fails the run; the
# input is left in build/fuzz/artifacts/. New corpus entries stay in
# build/fuzz/corpus/TARGET, seeded from fuzz/corpus/TARGET.
# With VELL_FUZZ_SEED set, each target instead makes a fixed number of runs
# (about SECONDS' worth) from that seed, so the run is the same every time:
# CI uses this, so that what passed here passes there. VELL_FUZZ_MAX_LEN,
# VELL_FUZZ_TIMEOUT and VELL_FUZZ_RSS_MB set libFuzzer's input length, time
# and memory limits (4096 bytes, 1 s, 2048 MB by default); VELL_FUZZ_LEN_CONTROL
# sets -len_control (0 tries long inputs from the start).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELL_FUZZ_BUILD:-$root/build/fuzz}
seconds=${1:-20}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(evaluate sheet number_text)

"$root/fuzz/build.sh" >/dev/null

mkdir -p "$build/artifacts"
status=0
passed=0
failed=0
# The sanitizers' redzones make every frame several times larger; the
# engine's nesting limit is sized for the stack of a normal build.
ulimit -s 65536 2>/dev/null || true
max_len=${VELL_FUZZ_MAX_LEN:-4096}
timeout=${VELL_FUZZ_TIMEOUT:-1}
rss_limit=${VELL_FUZZ_RSS_MB:-2048}
extra=()
[ -n "${VELL_FUZZ_LEN_CONTROL:-}" ] && extra+=(-len_control="$VELL_FUZZ_LEN_CONTROL")

for t in "${targets[@]}"; do
  corpus=$build/corpus/$t
  mkdir -p "$corpus"
  if [ -n "${VELL_FUZZ_SEED:-}" ]; then
    case $t in
      evaluate) rate=2000 ;;
      sheet) rate=3000 ;;
      *) rate=100000 ;;
    esac
    limit=(-seed="$VELL_FUZZ_SEED" -runs=$((seconds * rate)))
    echo "== fuzz_$t: $((seconds * rate)) runs from seed $VELL_FUZZ_SEED"
  else
    limit=(-max_total_time="$seconds")
    echo "== fuzz_$t for ${seconds}s"
  fi
  if ! ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:quarantine_size_mb=64 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/fuzz/fuzz_$t" "$corpus" "$root/fuzz/corpus/$t" \
      -dict="$root/fuzz/vell.dict" -timeout="$timeout" -rss_limit_mb="$rss_limit" -max_len="$max_len" \
      "${limit[@]}" "${extra[@]}" -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/${t}-" >"$build/fuzz_$t.log" 2>&1; then
    status=1
    failed=$((failed + 1))
    echo "fuzz_$t FAILED; last lines of $build/fuzz_$t.log:"
    tail -n 40 "$build/fuzz_$t.log"
  else
    passed=$((passed + 1))
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' \
    "$build/fuzz_$t.log" || true
done
echo "fuzz: $passed passed, $failed failed"
exit $status
