#!/usr/bin/env python3
"""frame-fits.py SCENE FILE WIDTH HEIGHT: FILE (raw rgb24, WIDTH x HEIGHT pixels) is a
picture of SCENE drawn over the whole of it. A frame drawn at another size than the surface
(a viewport left at the logical or an old size, anchored at the lower left) fails.
- closing: the plate (the only red-orange thing in the scene) lies in the lower-left
  corner, touching the bottom edge, and the walls light nearly all of it, up to the top and
  right edges (the closing scene takes its viewport from the surface's size every frame);
- greetings: the picture's yellow title spans its middle half across and lies near its top
  (the picture takes the viewport the GL state holds)."""
import sys

scene, path, w, h = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
data = open(path, "rb").read()
assert len(data) == w * h * 3, f"{len(data)} bytes, not {w}x{h}"


def pixels(test):
    """(xs, ys) of the pixels whose (r, g, b) pass test."""
    xs, ys = [], []
    for y in range(h):
        row = data[y * w * 3:(y + 1) * w * 3]
        for x in range(w):
            if test(row[3 * x], row[3 * x + 1], row[3 * x + 2]):
                xs.append(x)
                ys.append(y)
    return xs, ys


if scene == "closing":
    xs, ys = pixels(lambda r, g, b: r > 150 and r > b + 40)
    lit_x, lit_y = pixels(lambda r, g, b: r + g + b > 60)
    top_right = sum(1 for x, y in zip(lit_x, lit_y) if x >= w // 2 and y < h // 2)
    print(f"{w}x{h}: plate pixels {len(xs)} x {min(xs, default=-1)}..{max(xs, default=-1)} "
          f"y {min(ys, default=-1)}..{max(ys, default=-1)}, lit {len(lit_x)}, top right {top_right}")
    assert len(xs) > w * h / 800 and max(xs) < 0.44 * w and min(ys) > h / 2 and max(ys) == h - 1
    assert len(lit_x) > 0.8 * w * h
    assert top_right > 0.7 * (w // 2) * (h // 2)
elif scene == "greetings":
    xs, ys = pixels(lambda r, g, b: r > 200 and g > 150 and b < 120)
    assert len(xs) > w * h / 200, f"{w}x{h}: title pixels {len(xs)}"
    left, right, top, bottom = min(xs) / w, max(xs) / w, min(ys) / h, max(ys) / h
    print(f"{w}x{h}: title pixels {len(xs)} x {left:.3f}..{right:.3f} y {top:.3f}..{bottom:.3f}")
    assert 0.2 < left < 0.28 and 0.72 < right < 0.8 and 0.03 < top < 0.11 and 0.12 < bottom < 0.21
else:
    sys.exit(f"frame-fits.py: no scene '{scene}'")
