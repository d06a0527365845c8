#!/usr/bin/env bash
# Peak resident memory of the viewer engine showing a large JPEG panorama in a headless
# window: builds the panorama with the suite's own encoder (in one process), then shows it (in
# another) and prints the decoded picture's size and the peak. The budget is the decoded
# picture plus 64 MiB; exit status 1 when the peak is over it.
# Usage: scripts/panorama-memory.sh BUILD_DIR [WIDTH HEIGHT]   (default 8192 x 4096)
set -euo pipefail
build=$1
width=${2:-8192}
height=${3:-4096}
tool="$build/bench/panorama_memory"
if [ ! -x "$tool" ]; then
  echo "$tool is not built (configure with HALVEX_BUILD_BENCH=ON)." >&2
  exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$tool" make "$work/large.pan" "$width" "$height"
result=$("$tool" show "$work/large.pan")
echo "$result"
over=$(echo "$result" | sed -n 's/.*peak less picture \([0-9.]*\) MiB.*/\1/p')
if awk -v over="$over" 'BEGIN { exit !(over > 64) }'; then
  echo "over budget: the peak exceeds the decoded picture by more than 64 MiB"
  exit 1
fi
echo "within budget: the decoded picture plus at most 64 MiB"
