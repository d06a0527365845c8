#!/usr/bin/env bash
# The memory pass at the real picture ceiling: builds the hostile inputs (bench/memory_pass
# build), opens every one of them as each program opens it (Roamer and Linksmith at display
# depths 24, 16 and 8), measures each run's peak resident size with /usr/bin/time and fails
# when a run crashes or peaks over its target:
#   - a file that opens: its picture plus 256 MiB;
#   - any file: 1 GiB plus the program's own footprint (the tool opening nothing).
# Usage: scripts/memory-pass.sh [BUILD_DIR]   (default build/dev)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
tool="$build/bench/memory_pass"
if [ ! -x "$tool" ]; then
  echo "memory-pass: $tool is not built (configure with HALVEX_BUILD_BENCH=ON)." >&2
  exit 2
fi
if [ ! -x /usr/bin/time ]; then
  echo "memory-pass: /usr/bin/time is missing (scripts/setup.sh installs it)." >&2
  exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/inputs"
"$tool" build "$work/inputs"

mib=$((1024 * 1024))
# One run at $depth: its peak resident bytes in $peak, its status in $status, its output in
# $work/out and $work/err.
measure() {
  status=0
  HALVEX_DISPLAY_DEPTH=$depth /usr/bin/time -v -o "$work/time" "$tool" "$@" >"$work/out" \
    2>"$work/err" || status=$?
  peak=$(($(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time") * 1024))
}

depth=24
measure none
own=$peak
echo "memory-pass: own footprint $((own / mib)) MiB"
failed=0
runs=0
over=0
printf '%-11s %5s %-42s %9s %9s  %s\n' program depth file 'peak MiB' 'limit' outcome
for file in "$work"/inputs/*; do
  for run in roamer:24 roamer:16 roamer:8 linksmith:24 linksmith:16 linksmith:8 compactor:24 \
             cubestitch:24 mimeo:24; do
    program=${run%%:*}
    depth=${run##*:}
    measure "$program" "$file"
    outcome=$(head -n 1 "$work/out")
    limit=$((1024 * mib + own))
    picture=$(sed -n 's/^picture \([0-9]*\)$/\1/p' <<<"$outcome")
    if [ -n "$picture" ] && [ "$picture" -gt 0 ] && [ $((picture + 256 * mib)) -lt "$limit" ]; then
      limit=$((picture + 256 * mib))
    fi
    verdict=ok
    runs=$((runs + 1))
    if [ "$status" -ne 0 ] || [ -z "$outcome" ]; then
      verdict="FAILED: exit status $status: $(tail -n 2 "$work/err" | tr '\n' ' ')"
      failed=1
      over=$((over + 1))
    elif [ "$peak" -gt "$limit" ]; then
      verdict="OVER"
      failed=1
      over=$((over + 1))
    fi
    printf '%-11s %5s %-42s %9s %9s  %s (%s)\n' "$program" "$depth" "$(basename "$file")" \
      $((peak / mib)) $((limit / mib)) "$verdict" "${outcome:0:60}"
  done
done
echo "memory-pass: $runs runs, $over over their target or failed"
exit "$failed"
