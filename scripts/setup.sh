#!/usr/bin/env bash
# Installs, on Debian 12 as root, the packages the build, the tests and `make run` need and
# that are missing; with the argument "fuzz" also clang and its libFuzzer runtime for the fuzz
# preset, with "bench" also OpenCV for Python, which bench/peer_remap.py compares the seam and the
# renderer with (not needed to build or test). Safe to run again: it does nothing when everything
# is there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config make
  libjpeg62-turbo-dev
  qt6-base-dev qt6-multimedia-dev libgl-dev
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libswresample-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdg-utils
  time
)
if [ "${1:-}" = fuzz ]; then
  packages+=(clang libclang-rt-14-dev)
fi
if [ "${1:-}" = bench ]; then
  packages+=(python3-opencv)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
