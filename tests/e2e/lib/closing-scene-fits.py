#!/usr/bin/env python3
"""closing-scene-fits.py FILE WIDTH HEIGHT: FILE (raw rgb24, WIDTH x HEIGHT pixels) is a
picture of the closing scene drawn over the whole of it: the plate (the only red-orange
thing in the scene) lies in its lower-left corner, touching the bottom edge, and the walls
light nearly all of it, up to the top and right edges. A frame drawn at another size than
the surface (a viewport left at the logical or the old size) fails."""
import sys

path, w, h = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
data = open(path, "rb").read()
assert len(data) == w * h * 3, f"{len(data)} bytes, not {w}x{h}"
xs, ys = [], []
lit = 0
lit_top_right = 0  # in the quarter farthest from the plate
for y in range(h):
    row = data[y * w * 3:(y + 1) * w * 3]
    for x in range(w):
        r, g, b = row[3 * x], row[3 * x + 1], row[3 * x + 2]
        if r > 150 and r > b + 40:
            xs.append(x)
            ys.append(y)
        if r + g + b > 60:
            lit += 1
            if x >= w // 2 and y < h // 2:
                lit_top_right += 1
print(f"{w}x{h}: plate pixels {len(xs)} x {min(xs, default=-1)}..{max(xs, default=-1)} "
      f"y {min(ys, default=-1)}..{max(ys, default=-1)}, lit {lit}, top right {lit_top_right}")
assert len(xs) > w * h / 800 and max(xs) < 0.44 * w and min(ys) > h / 2 and max(ys) == h - 1
assert lit > 0.8 * w * h
assert lit_top_right > 0.7 * (w // 2) * (h // 2)
