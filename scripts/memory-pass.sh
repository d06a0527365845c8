#!/usr/bin/env bash
# The memory pass at the real picture ceiling: builds the hostile inputs (bench/memory_pass
# build), opens every one of them as each program opens it (Roamer and Linksmith at display
# depths 24, 16 and 8), measures each run's peak resident size with /usr/bin/time and fails
# when a run crashes or peaks over its target:
#   - a file that opens: its picture plus 256 MiB;
#   - a file that is refused: 256 MiB plus the program's own footprint (the tool opening
#     nothing), so that a huge section read before its refusal fails;
#   - any file: 1 GiB plus the program's own footprint;
#   - Compactor and Cubestitch writing bitmaps (bitmap_writers): their picture plus 256 MiB.
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

# The bitmap writers at the ceiling, run by the programs themselves on sparse inputs: Compactor
# converting 16384 x 16384 bitmaps (its picture is the 24-bit one, 768 MiB), Cubestitch seaming
# a 16384 x 8192 panorama (384 MiB) from six 2048 x 2048 faces and handing it to Compactor, and
# Cubestitch short of address space (`ulimit -v`), which must refuse with "Error Creating
# Bitmap" and exit 1, or write the panorama, leaving the faces as they were.
bitmap_writers() {
  local bin=$build/apps in=$work/writers out=$work/written
  mkdir -p "$in" "$out" "$work/config/Tavrin"
  "$tool" build-writers "$in"
  printf '[Seam]\nWidth=16384\nHeight=8192\n' >"$work/config/Tavrin/Cubestitch.conf"
  local faces=("$in"/face?-2048x2048.bmp)
  (cd "$in" && sha256sum face?-2048x2048.bmp) >"$work/faces.sha"
  # One program run: $1 the limit in MiB, $2 what it is, the rest the command line.
  writer_run() {
    local limit=$(($1 * mib)) what=$2
    shift 2
    rm -rf "$out" && mkdir "$out"
    status=0
    XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen PATH="$bin/compactor:$PATH" \
      /usr/bin/time -v -o "$work/time" timeout 900 "$@" >"$work/out" 2>"$work/err" || status=$?
    peak=$(($(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time") * 1024))
    local verdict=ok
    runs=$((runs + 1))
    if [ "$status" -ne 0 ] || [ -z "$(ls -A "$out")" ]; then
      verdict="FAILED: exit status $status: $(tail -n 2 "$work/err" | tr '\n' ' ')"
    elif [ "$peak" -gt "$limit" ]; then
      verdict=OVER
    fi
    [ "$verdict" = ok ] || { failed=1; over=$((over + 1)); }
    printf '%-11s %5s %-42s %9s %9s  %s\n' "${1##*/}" - "$what" $((peak / mib)) $((limit / mib)) \
      "$verdict"
  }
  for bits in 24 16 8; do
    writer_run 1024 "24bit from bitmap-${bits}bit-16384x16384" \
      "$bin/compactor/compactor" -codec 24bit "$in/bitmap-${bits}bit-16384x16384.bmp" "$out/a.bmp"
  done
  for bits in 16 8; do
    writer_run 1024 "jpeg from bitmap-${bits}bit-16384x16384" "$bin/compactor/compactor" \
      -codec jpeg -thumbnail true "$in/bitmap-${bits}bit-16384x16384.bmp" "$out/a.pan"
  done
  writer_run 640 "batch 16384x8192 from 2048x2048 faces" "$bin/cubestitch/cubestitch" \
    "${faces[@]}" "$out/a.pan"

  # Cubestitch with its address space held to $1 KiB: its status in $status, its messages in
  # $work/err, what it wrote in $out.
  seam_under_limit() {
    rm -rf "$out" && mkdir "$out"
    status=0
    (ulimit -v "$1" && XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen \
      PATH="$bin/compactor:$PATH" timeout 300 "$bin/cubestitch/cubestitch" "${faces[@]}" \
      "$out/a.pan" >"$work/out" 2>"$work/err") || status=$?
  }
  # At 1.5 GiB, where the whole bitmap file once sat in memory beside the picture, the panorama
  # is written or refused; at a limit that leaves no room for it, found by raising the limit from
  # 640 MiB while even the faces cannot be loaded, it is refused.
  local kib refuse verdict
  for kib in 1572864 0; do
    refuse=$((kib == 0))
    if [ "$refuse" -eq 0 ]; then
      seam_under_limit "$kib"
    else
      kib=655360
      seam_under_limit "$kib"
      while [ "$status" -eq 1 ] && grep -q '^Cubestitch: Failed to load image' "$work/err" &&
        [ "$kib" -lt 1572864 ]; do
        kib=$((kib + 65536))
        seam_under_limit "$kib"
      done
    fi
    verdict=ok
    runs=$((runs + 1))
    if [ "$refuse" -eq 0 ] && [ "$status" -eq 0 ] && [ -f "$out/a.pan" ]; then
      verdict="ok (written)"
    elif [ "$status" -ne 1 ] || ! grep -q '^Cubestitch: Error Creating Bitmap$' "$work/err"; then
      verdict="FAILED: exit status $status: $(tail -n 2 "$work/err" | tr '\n' ' ')"
    elif [ -n "$(ls -A "$out")" ]; then
      verdict="FAILED: left $(ls -A "$out" | tr '\n' ' ')"
    fi
    if ! (cd "$in" && sha256sum --quiet -c "$work/faces.sha"); then
      verdict="FAILED: the faces changed"
    fi
    [ "${verdict:0:2}" = ok ] || { failed=1; over=$((over + 1)); }
    printf '%-11s %5s %-42s %9s %9s  %s\n' cubestitch - "batch under ulimit -v $kib KiB" - - \
      "$verdict"
  done
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
    elif [ "${outcome%% *}" = refused ]; then
      limit=$((256 * mib + own))
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
bitmap_writers
echo "memory-pass: $runs runs, $over over their target or failed"
exit "$failed"
