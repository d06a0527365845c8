#!/usr/bin/env bash
# Builds the fuzz preset, makes the seed corpora and runs every fuzz target in turn.
#   FUZZ_SECONDS  how long each target runs at most (default 180)
#   FUZZ_RUNS     how many inputs each target runs at most (libFuzzer's -runs; default: no
#                 limit); a target stops at whichever of FUZZ_RUNS and FUZZ_SECONDS comes first
#   FUZZ_TARGETS  the targets to run, separated by blanks (default: all, from fuzz/targets.txt)
#   FUZZ_FORK     worker processes per target (libFuzzer's -fork; default 1, no fork)
# Corpora grow in build/fuzz/corpus/<target> across runs; crashes land in
# build/fuzz/artifacts/<target>/, logs in build/fuzz/logs/<target>.log. Prints one line per
# target (executions, coverage, features, corpus) and exits non-zero when a target failed.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-180}
runs=${FUZZ_RUNS:--1}
fork=${FUZZ_FORK:-1}
jobs=${JOBS:-$(nproc)}
build=build/fuzz

bash scripts/setup.sh fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"

root=$(pwd)/$build
rm -rf "$root/seeds"
"$root/fuzz/make_fuzz_seeds" "$root/seeds"

declare -A dictionary
while read -r name dict; do
  [ -n "$name" ] && dictionary[$name]=$dict
done < "$root/fuzz/targets.txt"
targets=${FUZZ_TARGETS:-$(cut -d' ' -f1 "$root/fuzz/targets.txt" | tr '\n' ' ')}

failed=0
printf '%-24s %12s %8s %8s %8s  %s\n' target executions cov ft corpus result
for name in $targets; do
  if [ -z "${dictionary[$name]+set}" ]; then
    echo "fuzz: no target named $name" >&2
    failed=1
    continue
  fi
  mkdir -p "$root/corpus/$name" "$root/artifacts/$name" "$root/logs"
  options=(-max_total_time="$seconds" -runs="$runs" -timeout=25 -rss_limit_mb=2048 -malloc_limit_mb=64
           -print_final_stats=1 -artifact_prefix="$root/artifacts/$name/")
  [ "${dictionary[$name]}" != "-" ] && options+=(-dict="${dictionary[$name]}")
  [ "$fork" -gt 1 ] && options+=(-fork="$fork" -ignore_crashes=0)
  log=$root/logs/$name.log
  result=ok
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$root/fuzz/${name}_fuzzer" "${options[@]}" "$root/corpus/$name" "$root/seeds/$name" \
    >"$log" 2>&1 || { result="FAILED (see $log)"; failed=1; }
  executions=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' |
               awk '{s += $1} END {print s + 0}')
  last=$(grep -E '^#[0-9]+.*(cov|DONE)' "$log" | tail -n 1 || true)
  cov=$(sed -n 's/.*cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.*ft: \([0-9]*\).*/\1/p' <<<"$last")
  corpus=$(ls "$root/corpus/$name" | wc -l)
  printf '%-24s %12s %8s %8s %8s  %s\n' "$name" "$executions" "${cov:--}" "${ft:--}" "$corpus" \
    "$result"
done
exit "$failed"
