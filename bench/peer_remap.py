#!/usr/bin/python3
"""The seam and the renderer's view job against OpenCV's remap, on one pinned core.

Times, in one run and on the same core:
  - the cube seam: six 1024 x 1024 faces into a 4096 x 2048 panorama (seam_bench BM_Seam4096)
    against cv2.remap over a precomputed map of the same projection into the six faces laid
    side by side;
  - a 1024 x 768 bilinear view of an 8192 x 4096 panorama at a field of view of 90 (render_bench,
    24 bits, bilinear) against cv2.remap over that view's precomputed map.
OpenCV runs on one thread (cv2.setNumThreads(1)), bilinear, with a 32-bit float map and with
the fixed-point map cv2.convertMaps makes of it; the faster is the peer. Times are CPU times
of the working thread, medians of several runs; the load average is printed with them, as the
machine may be shared.

Usage: bench/peer_remap.py [--build build/release] [--core N] [--runs N]
Needs Debian's python3-opencv (scripts/setup.sh bench installs it) and a release build with
the benchmarks (cmake --preset release && cmake --build --preset release).
"""

import argparse
import json
import math
import os
import statistics
import subprocess
import sys
import time

try:
    import cv2
    import numpy as np
except ImportError:
    sys.exit("peer_remap: OpenCV for Python is missing; install it with `scripts/setup.sh bench` "
             "(Debian package python3-opencv).")

FACE = 1024
SEAM_W, SEAM_H = 4096, 2048
PANO_W, PANO_H = 8192, 4096
VIEW_W, VIEW_H = 1024, 768


def seam_map():
    """Face-strip coordinates of every panorama pixel, by the seam's own projection."""
    x = np.arange(SEAM_W, dtype=np.float64)[None, :]
    y = np.arange(SEAM_H, dtype=np.float64)[:, None]
    xc = x - SEAM_W // 2
    yc = y - SEAM_H // 2
    heading = 2.0 * math.pi * xc / SEAM_W
    pitch = (yc - xc / SEAM_W) * math.pi / SEAM_H
    dx = np.sin(heading) * np.cos(pitch)
    dz = np.cos(heading) * np.cos(pitch)
    dy = np.broadcast_to(np.sin(pitch), dx.shape)
    xx, yy, zz = dx * dx, dy * dy, dz * dz
    along_x = (xx >= zz) & (xx >= yy)
    along_z = ~along_x & (zz >= yy)
    along_y = ~along_x & ~along_z
    with np.errstate(divide="ignore", invalid="ignore"):
        # Faces in the seam's order: Left, Front, Right, Back, Top, Bottom.
        face = np.where(along_x, np.where(dx < 0, 0, 2),
                        np.where(along_z, np.where(dz < 0, 3, 1), np.where(dy < 0, 4, 5)))
        a = np.where(along_x, -dz / dx, np.where(along_z, dx / dz, dz / dy))
        b = np.where(along_x, np.where(dx < 0, -dy / dx, dy / dx),
                     np.where(along_z, np.where(dz < 0, -dy / dz, dy / dz),
                              np.where(dy < 0, -dx / dy, dx / dy)))
    u = (a + 1) / 2 * (FACE - 1)
    v = (b + 1) / 2 * (FACE - 1)
    return (face * FACE + u).astype(np.float32), v.astype(np.float32)


def view_map():
    """Panorama coordinates of every view pixel, as render_bench's exact remap takes them."""
    scale = VIEW_W / (2.0 * math.tan(math.radians(90.0) / 2.0))
    p = np.arange(VIEW_W, dtype=np.float64)[None, :] - VIEW_W / 2.0
    q = np.arange(VIEW_H, dtype=np.float64)[:, None] - VIEW_H / 2.0
    r = np.full((VIEW_H, VIEW_W), scale)
    p = np.broadcast_to(p, r.shape)
    q = np.broadcast_to(q, r.shape)
    column = (np.degrees(np.arctan2(p, r)) + 180.0) / 360.0 * PANO_W
    row = (np.degrees(np.arctan2(q, np.sqrt(p * p + r * r))) + 90.0) / 180.0 * (PANO_H - 1)
    return column.astype(np.float32), row.astype(np.float32)


def time_remap(source, map_x, map_y, runs):
    """Median CPU milliseconds of one bilinear remap, float map and fixed-point map."""
    fixed = cv2.convertMaps(map_x, map_y, cv2.CV_16SC2)
    results = {}
    for name, maps in (("float map", (map_x, map_y)), ("fixed-point map", fixed)):
        cv2.remap(source, maps[0], maps[1], cv2.INTER_LINEAR)  # warm up
        samples = []
        for _ in range(runs):
            start = time.thread_time()
            cv2.remap(source, maps[0], maps[1], cv2.INTER_LINEAR, borderMode=cv2.BORDER_REPLICATE)
            samples.append((time.thread_time() - start) * 1000.0)
        results[name] = statistics.median(samples)
    return results


def ours(build, core, binary, pattern, runs):
    """Median CPU milliseconds of one of our benchmarks, run on `core`."""
    path = os.path.join(build, "bench", binary)
    if not os.access(path, os.X_OK):
        sys.exit(f"peer_remap: {path} is not built (cmake --preset release && "
                 "cmake --build --preset release).")
    output = subprocess.run(
        ["taskset", "-c", str(core), path, f"--benchmark_filter={pattern}",
         f"--benchmark_repetitions={runs}", "--benchmark_format=json"],
        check=True, capture_output=True, text=True).stdout
    runs_ms = []
    label = ""
    for entry in json.loads(output)["benchmarks"]:
        if entry.get("run_type") == "iteration":
            factor = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[entry["time_unit"]]
            runs_ms.append(entry["cpu_time"] * factor)
            label = entry.get("label", label)
    if not runs_ms:
        sys.exit(f"peer_remap: {binary} ran no benchmark matching {pattern}")
    return statistics.median(runs_ms), label


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build/release")
    parser.add_argument("--core", type=int, default=max(os.sched_getaffinity(0)))
    parser.add_argument("--runs", type=int, default=9)
    args = parser.parse_args()

    os.sched_setaffinity(0, {args.core})
    cv2.setNumThreads(1)
    rng = np.random.default_rng(12345)
    faces = rng.integers(0, 256, (FACE, 6 * FACE, 3), dtype=np.uint8)
    panorama = rng.integers(0, 256, (PANO_H, PANO_W, 3), dtype=np.uint8)
    jobs = [
        ("cube seam, six 1024^2 faces -> 4096 x 2048", "seam_bench", "^BM_Seam4096$", faces,
         seam_map()),
        ("1024 x 768 bilinear view of 8192 x 4096", "render_bench",
         "^Render/format:24/antialias:8/width:1024/height:768$", panorama, view_map()),
    ]
    print(f"core {args.core}, load average {open('/proc/loadavg').read().split()[:3]}, "
          f"OpenCV {cv2.__version__}, one thread; CPU ms, median of {args.runs}")
    for title, binary, pattern, source, (map_x, map_y) in jobs:
        mine, label = ours(args.build, args.core, binary, pattern, args.runs)
        peers = time_remap(source, map_x, map_y, args.runs)
        print(f"{title}:")
        print(f"  ours ({binary}{', ' + label if label else ''}): {mine:8.2f} ms")
        for name, peer in peers.items():
            print(f"  cv2.remap, {name}: {peer:8.2f} ms   ours is {peer / mine:5.2f}x as fast")
    print(f"load average after: {open('/proc/loadavg').read().split()[:3]}")


if __name__ == "__main__":
    main()
