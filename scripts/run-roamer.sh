#!/usr/bin/env bash
# Opens Roamer from build folder $1 on the panorama $2; with no display, under Xvfb.
set -euo pipefail
build=$1
sample=$2
roamer="$build/apps/roamer/roamer"
if [ ! -x "$roamer" ]; then
  echo "Built into $build:"
  find "$build" -maxdepth 3 -type f -executable -newer "$build/CMakeCache.txt" \
    \( -path '*/apps/*' -o -path '*/tests/*' -o -path '*/bench/*' \) | sort | sed 's/^/  /'
  echo "Roamer is not built yet; nothing to open."
  exit 0
fi
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting Roamer under Xvfb."
  exec xvfb-run -a "$roamer" "$sample"
fi
exec "$roamer" "$sample"
