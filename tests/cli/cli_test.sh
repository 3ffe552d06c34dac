#!/usr/bin/env bash
# Runs vell-eval as a user would and checks its output and exit status.
# Usage: cli_test.sh PATH/TO/vell-eval VERSION
set -u
bin=$1
version=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

# judge NAME STATUS WANTED: counts a check by the status of the test just
# run, showing what the command did when it failed.
judge() {
  if [ "$2" = 0 ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL %s\n  status %s, output %q, stderr %q\n  wanted %s\n' \
      "$1" "$code" "$actual" "$(cat "$work/stderr")" "$3"
  fi
}

# check NAME EXPECTED_STATUS EXPECTED_OUTPUT [STDERR_PATTERN] -- COMMAND...
# Standard error must match the glob pattern only when one is given.
check() {
  local name=$1 status=$2 expected=$3 pattern='' compare=0
  shift 3
  if [ "$1" != -- ]; then
    pattern=$1 compare=1
    shift
  fi
  shift
  actual=$("$@" 2>"$work/stderr")
  code=$?
  # shellcheck disable=SC2053 # the pattern is a glob on purpose
  [ "$code" = "$status" ] && [ "$actual" = "$expected" ] && { [ $compare = 0 ] || [[ "$(cat "$work/stderr")" == $pattern ]]; }
  judge "$name" $? "status $status, output $(printf %q "$expected")${pattern:+, stderr $pattern}"
}

check raw-rounding 0 "0.999999" -- "$bin" --raw '1/3*3'
check division-by-zero 1 "E" -- "$bin" '1/0'
check raw-failure 1 "E" -- "$bin" --raw '1/0'
check raw-undefined 1 "1.000000" -- "$bin" --raw 'x+1'
check raw-empty 1 "" -- "$bin" --raw ''
# A value of E is a failure even where the engine reports success.
check e-overflow-raw 1 "E" -- "$bin" --raw 'EXP(1000)'
check e-batch 1 "$(printf '2\nE\n3')" -- sh -c "printf '1+1\nLOG(0)\n1+2\n' | '$bin'"
check e-batch-raw 1 "$(printf '2.000000\nE')" -- sh -c "printf '1+1\nEXP(1000)' | '$bin' --raw"
check leading-minus 0 "1" -- "$bin" '-3+4'
check after-double-dash 0 "-2" -- "$bin" -- '-sqrt(4)'
check operands-joined 0 "3" -- "$bin" 1 + 2
check quoted-text 0 "Hello" -- "$bin" '"Hello"'
check batch-power 0 "64" -- sh -c "echo '2^3^2' | '$bin'"
check batch-lines 1 "$(printf '3\nE\n0.5')" -- sh -c "printf '1+2\n1/0\r\nsin(30)\n' | '$bin'"
check batch-empty-input 0 "" -- sh -c "'$bin' </dev/null"
# Lines across read boundaries, split by a slow writer, or longer than any buffer.
seq 30000 >"$work/seq.txt"
check batch-numbers 0 "" -- sh -c "'$bin' <'$work/seq.txt' | cmp - '$work/seq.txt'"
check batch-numbers-crlf 0 "" -- sh -c "sed 's/\$/\r/' '$work/seq.txt' | '$bin' | cmp - '$work/seq.txt'"
check batch-split-line 0 "$(printf '3\n3')" -- sh -c "(printf '1+'; sleep 0.2; printf '2\r\n3\r') | '$bin'"
check batch-long-line 0 "100001" -- sh -c "awk 'BEGIN { for (i = 0; i < 100000; i++) printf \"1+\"; print 1 }' | '$bin'"
check batch-empty-lines 1 "$(printf 'E\n2\nE')" -- sh -c "printf '\n1+1\n\r\n' | '$bin'"
check batch-folder 2 "" "vell-eval: cannot read standard input: Is a directory" -- sh -c "'$bin' <."
check usage-error 2 "" -- "$bin" --bogus
check missing-file-arg 2 "" -- "$bin" -f
check help 0 "$("$bin" --help)" -- "$bin" -h
check version 0 "vell-eval $version" -- "$bin" --version

printf 'x=2\ny=x*3+z\nz=1.5\n' >"$work/s.txt"
check sheet-details 0 "$(printf '3.75\nX = 2\nY = 7.5\nZ = 1.5')" -- "$bin" -f "$work/s.txt" -d 'y/2'
check sheet-long-option 0 "7.5" -- "$bin" --variables "$work/s.txt" 'y'
check sheet-batch 0 "$(printf '2\n7.5\nX = 2\nY = 7.5\nZ = 1.5')" -- sh -c "printf 'x\ny\n' | '$bin' -f '$work/s.txt' --details"
printf 'a=1\na=2\nb=c\n' >"$work/err.txt"
check sheet-errors 0 "$(printf '1\nA = 1\nERR 1 : A=2\nERR 2 : B=C')" -- "$bin" -f "$work/err.txt" -d a
# Why a result is E, on standard error; the report on standard output stays as it is.
check reason-value 0 "0.5" "" -- "$bin" 'sin(30)'
check reason-unknown 1 "E" "vell-eval: unknown name ZZ" -- "$bin" 'zz*2'
check reason-e-value 1 "E" "vell-eval: no finite result for LOG(0)" -- "$bin" 'log(0)'
check reason-batch 1 "$(printf '2\nE\nE\n0.5')" \
  "$(printf 'vell-eval: line 2: division by zero in 1/0\nvell-eval: line 3: nothing to evaluate')" \
  -- sh -c "printf '1+1\n1/0\n\nsin(30)\n' | '$bin'"
check reason-details 0 "$(printf '1\nA = 1\nERR 1 : A=2\nERR 2 : B=C')" \
  "$(printf 'vell-eval: ERR 1: already defined: A\nvell-eval: ERR 2: unknown name C')" -- "$bin" -f "$work/err.txt" -d a
printf '  \n\n' >"$work/blank.txt"
check blank-sheet 1 "E" -- "$bin" -f "$work/blank.txt" 'x'
check unreadable-file 2 "" -- "$bin" -f "$work/does-not-exist.txt" '1'
yes 1+1 | head -n 50000 >"$work/many.txt"
check sheet-folder 2 "" "vell-eval: cannot read .: Is a directory" -- "$bin" -f . 1
check sheet-io-error 2 "" "vell-eval: cannot read /proc/self/mem: ?*" -- "$bin" -f /proc/self/mem 1
check sheet-endless 2 "" "vell-eval: cannot read /dev/zero: larger than 256 MiB" -- "$bin" -f /dev/zero 1
truncate -s 257M "$work/huge.txt"
check sheet-too-large 2 "" "vell-eval: cannot read $work/huge.txt: larger than 256 MiB" -- "$bin" -f "$work/huge.txt" 1
check sheet-empty-device 1 "E" -- "$bin" -f /dev/null x
check sheet-process-substitution 0 "3" -- bash -c "'$bin' -f <(printf 'x=3\n') x+0"
mkfifo "$work/fifo"
check sheet-fifo 0 "4" -- bash -c "timeout 5 bash -c 'echo x=4 >\"\$1\"' - '$work/fifo' >/dev/null & '$bin' -f '$work/fifo' x"
check details-without-sheet 0 "2" -- "$bin" -d '1+1'

# Output that cannot be written is an error; a reader that leaves is not.
check write-full 2 "" "vell-eval: cannot write standard output: No space left on device" -- sh -c "'$bin' 1+1 >/dev/full"
check write-closed 2 "" "vell-eval: cannot write standard output: Bad file descriptor" -- sh -c "'$bin' 1+1 >&-"
check write-details-full 2 "" "vell-eval: cannot write *: No space left on device" -- sh -c "'$bin' -f '$work/s.txt' -d x >/dev/full"
check write-help-full 2 "" "vell-eval: cannot write *: No space left on device" -- sh -c "'$bin' --help >/dev/full"
check write-batch-full 2 "" "vell-eval: cannot write *: No space left on device" -- sh -c "'$bin' <'$work/many.txt' >/dev/full"
check write-batch-after-e 2 "" "vell-eval: cannot write *: No space left on device" -- sh -c "printf '1/0\n' | '$bin' >/dev/full"
check broken-pipe 0 "2" -- sh -c "'$bin' <'$work/many.txt' | head -n1"
check broken-pipe-ignored 0 "2" -- sh -c "env --ignore-signal=PIPE '$bin' <'$work/many.txt' | head -n1"

# The prompt on a terminal: script(1) gives vell-eval a pseudo-terminal.
if command -v script >/dev/null 2>&1; then
  printf 'c=7\n' >"$work/c.txt"
  session=$(printf 'y*2\n:details\n:vars .\n:vars %s\nc+1\n:quit\n' "$work/c.txt" |
    HOME="$work" XDG_STATE_HOME="$work/state" script -qec "'$bin' -f '$work/s.txt'" /dev/null | tr -d '\r')
  for wanted in "vell> y*2" "15" "Z = 1.5" "cannot read .: Is a directory" "8"; do
    if printf '%s\n' "$session" | grep -qxF -- "$wanted" || printf '%s\n' "$session" | grep -qF -- "$wanted"; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
      printf 'FAIL prompt: %q not in\n%s\n' "$wanted" "$session"
    fi
  done
  # Each result comes out before the next prompt.
  order=$(printf '%s\n' "$session" | sed 's/\x1b\[[?0-9;]*[a-zA-Z]//g' |
    grep -xE '15|vell> :details|Z = 1[.]5|vell> :vars [.]|8|vell> :quit' | tr '\n' '|')
  if [ "$order" = "15|vell> :details|Z = 1.5|vell> :vars .|8|vell> :quit|" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL prompt order: %q\n' "$order"
  fi
  if grep -qx ':vars .*c.txt' "$work/state/vell/history" 2>/dev/null; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL prompt history: $(cat "$work/state/vell/history" 2>&1)"
  fi
fi

# Numbers do not follow the locale.
if locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  check german-locale 0 "3" -- env LC_ALL=de_DE.UTF-8 "$bin" '1.5*2'
  check german-locale-raw 0 "0.150000" -- env LC_ALL=de_DE.UTF-8 "$bin" --raw '10+5%'
else
  failed=$((failed + 1))
  echo "FAIL german-locale: the de_DE.UTF-8 locale is not installed"
fi
check other-time-zone 0 "2" -- env TZ=America/New_York "$bin" 'days360("11-3-2023","13-3-2023")'

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
