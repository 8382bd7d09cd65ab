#!/usr/bin/env bash
# Fuzzes the file readers with libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer (the clang build in build-sanitize/).
#
#   scripts/fuzz.sh [--seconds N] [--keep-going] [HARNESS ...]
#
# Each harness runs N seconds (default 3) from the seeds made of the shipped
# files, its kept regression inputs (fuzz/regressions/HARNESS/) and its own
# growing corpus (build-sanitize/fuzz-corpus/HARNESS/, kept between runs). A
# failure stops the script; the input that caused it is written to
# build-sanitize/fuzz-findings/HARNESS/. With --keep-going a long campaign
# records every failure there and goes on. Without names every harness runs.
# A long campaign, one harness after another, ten minutes each:
#   scripts/fuzz.sh --seconds 600 --keep-going
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=3
keep_going=()
harnesses=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --keep-going) keep_going=(-fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1); shift ;;
    -h|--help) sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) harnesses+=("$1"); shift ;;
  esac
done
all=(catalogue price_list jpeg project settings sections connection_sets project_blocks symbols token_stream)
[ ${#harnesses[@]} -gt 0 ] || harnesses=("${all[@]}")

bash scripts/setup.sh
bash scripts/configure-sanitize.sh
cmake --build build-sanitize --target verdimo-fuzz-seeds $(printf 'fuzz_%s ' "${harnesses[@]}")

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=abort_on_error=0:detect_leaks=1:allocator_may_return_null=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
root=$PWD
seeds=$root/build-sanitize/fuzz-seeds/$$
trap 'rm -rf "$seeds"' EXIT
build-sanitize/bin/verdimo-fuzz-seeds "$seeds"

for h in "${harnesses[@]}"; do
  corpus=$root/build-sanitize/fuzz-corpus/$h
  findings=$root/build-sanitize/fuzz-findings/$h
  mkdir -p "$corpus" "$findings"
  inputs=("$corpus" "$seeds/$h")
  [ -d "fuzz/regressions/$h" ] && inputs+=("$root/fuzz/regressions/$h")
  echo "== fuzz_$h: ${seconds} s"
  log=$root/build-sanitize/fuzz-findings/$h.log
  # From the findings folder, where a long campaign's worker logs go too.
  if ! (cd "$findings" && "$root/build-sanitize/bin/fuzz_$h" "${inputs[@]}" -max_total_time="$seconds" \
          "${keep_going[@]}" -timeout=20 -rss_limit_mb=3072 -max_len=262144 -print_final_stats=1 \
          -artifact_prefix="$findings/" >"$log" 2>&1); then
    tail -60 "$log"
    echo "fuzz_$h failed; the input is in $findings/" >&2
    exit 1
  fi
  # Executions, covered edges and corpus size as the fuzzer last told them.
  last=$(grep 'cov: ' "$log" | tail -1 || true)
  runs=$(grep -oE '^stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' | tail -1 || true)
  [ -n "$runs" ] || runs=$(echo "$last" | grep -oE '^#[0-9]+' | tr -d '#' || true)
  echo "   executions ${runs:-?}, edges $(echo "$last" | grep -oE 'cov: [0-9]+' | grep -oE '[0-9]+'), features $(echo "$last" | grep -oE 'ft: [0-9]+' | grep -oE '[0-9]+'), corpus $(echo "$last" | grep -oE 'corp: [0-9]+' | grep -oE '[0-9]+') inputs"
  found=$(find "$findings" -type f | wc -l)
  [ "$found" -eq 0 ] || echo "   $found failing inputs kept in $findings/"
done
