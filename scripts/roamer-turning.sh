#!/usr/bin/env bash
# Roamer's CPU time per frame while it turns in a 1024 x 768 view under Xvfb: builds a JPEG
# panorama with the suite's own encoder, then runs Roamer's application on it RUNS times for
# SECONDS each and prints every run, the median and the load average (the machine may be
# shared: compare runs taken at similar loads). The budget is 2.4 ms of CPU per frame; exit
# status 1 when the median is over it.
# Usage: scripts/roamer-turning.sh BUILD_DIR [RUNS SECONDS [WIDTH HEIGHT]]
#        (default 5 runs of 10 s on an 8192 x 4096 panorama; a release build is the one to
#        measure). Set HALVEX_DISPLAY_DEPTH to measure another display depth.
set -euo pipefail
build=$1
runs=${2:-5}
seconds=${3:-10}
width=${4:-8192}
height=${5:-4096}
maker="$build/bench/panorama_memory"
tool="$build/bench/roamer_turning"
for program in "$maker" "$tool"; do
  if [ ! -x "$program" ]; then
    echo "$program is not built (configure with HALVEX_BUILD_BENCH=ON)." >&2
    exit 2
  fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$maker" make "$work/turning.pan" "$width" "$height"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
: >"$work/figures"
for run in $(seq "$runs"); do
  result=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$tool" "$work/turning.pan" "$seconds")
  echo "run $run: $result (load $(cut -d' ' -f1 /proc/loadavg))"
  echo "$result" | sed -n 's/.* \([0-9.]*\) ms per frame.*/\1/p' >>"$work/figures"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
median=$(sort -n "$work/figures" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
echo "median: $median ms of CPU per frame"
if awk -v m="$median" 'BEGIN { exit !(m > 2.4) }'; then
  echo "over budget: more than 2.4 ms of CPU per frame"
  exit 1
fi
echo "within budget: at most 2.4 ms of CPU per frame"
