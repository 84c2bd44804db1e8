#!/usr/bin/python3
"""Reference-line fixtures: random pairs of image planes that cross, and where
the other image's plane, limited to its rectangle, crosses the shown image,
in the shown image's pixel grid, clipped to its rectangle.

The model intersects the two planes, clips the intersection line to B's
rectangle in B's own coordinates and then to A's rectangle in A's pixel
coordinates (Liang-Barsky), all in numpy doubles. Pairs are kept only when
they are well conditioned: planes at least 30 degrees apart and the line
meeting A's borders at 20 degrees or more, so that one pixel of rounding
cannot move an end further than a pixel.

Run: /usr/bin/python3 make_reference_lines.py > reference_lines.txt
"""
import math

import numpy as np

rng = np.random.default_rng(20240518)


def rotation():
    q = rng.normal(size=4)
    q /= np.linalg.norm(q)
    w, x, y, z = q
    return np.array([
        [1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)],
        [2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)],
        [2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)],
    ])


def clip(p0, p1, lo, hi):
    """Liang-Barsky: the part of p0 + t (p1 - p0), t in [0, 1], inside the box."""
    t0, t1 = 0.0, 1.0
    d = p1 - p0
    for k in range(len(p0)):
        if abs(d[k]) < 1e-12:
            if p0[k] < lo[k] or p0[k] > hi[k]:
                return None
            continue
        a, b = (lo[k] - p0[k]) / d[k], (hi[k] - p0[k]) / d[k]
        if a > b:
            a, b = b, a
        t0, t1 = max(t0, a), min(t1, b)
        if t0 > t1:
            return None
    return p0 + t0 * d, p0 + t1 * d


def plane():
    r = rotation()
    return {
        "row": r[:, 0], "col": r[:, 1],
        "cols": int(rng.integers(64, 513)), "rows": int(rng.integers(64, 513)),
        "sprow": float(rng.uniform(0.3, 2.0)), "spcol": float(rng.uniform(0.3, 2.0)),
    }


def model(a, b):
    na, nb = np.cross(a["row"], a["col"]), np.cross(b["row"], b["col"])
    d = np.cross(na, nb)
    # A point on both planes: least squares in the plane spanned by the normals.
    m = np.array([na, nb, d])
    p = np.linalg.solve(m, np.array([na @ a["pos"], nb @ b["pos"], 0.0]))
    # The line in B's coordinates (mm along B's row and column), clipped to B.
    far = 1e5
    q0, q1 = p - far * d, p + far * d
    to_b = lambda q: np.array([(q - b["pos"]) @ b["row"], (q - b["pos"]) @ b["col"]])
    seg = clip(to_b(q0), to_b(q1), np.zeros(2),
               np.array([b["cols"] * b["sprow"], b["rows"] * b["spcol"]]))
    if seg is None:
        return None
    ends = [b["pos"] + u * b["row"] + v * b["col"] for u, v in seg]
    # Then in A's pixel grid, clipped to A.
    to_a = lambda q: np.array([(q - a["pos"]) @ a["row"] / a["sprow"],
                               (q - a["pos"]) @ a["col"] / a["spcol"]])
    seg = clip(to_a(ends[0]), to_a(ends[1]), np.zeros(2), np.array([a["cols"], a["rows"]], float))
    return seg


def well_conditioned(a, b, seg):
    na, nb = np.cross(a["row"], a["col"]), np.cross(b["row"], b["col"])
    if abs(na @ nb) > math.cos(math.radians(30)):
        return False
    v = seg[1] - seg[0]
    length = np.linalg.norm(v)
    if length < 20:
        return False
    # Angle to both border directions at least 20 degrees.
    s = abs(v[0]) / length, abs(v[1]) / length
    return min(s) >= math.sin(math.radians(20))


def fmt(p):
    vals = list(p["pos"]) + list(p["row"]) + list(p["col"]) + [p["cols"], p["rows"], p["sprow"], p["spcol"]]
    return " ".join("%.12g" % v for v in vals)


def main():
    print("# A: pos[3] row[3] col[3] cols rows spacing-along-row spacing-along-column,"
          " then B likewise, then the expected ends x1 y1 x2 y2 (pixels of A)")
    made = 0
    while made < 200:
        a, b = plane(), plane()
        a["pos"] = rng.uniform(-200, 200, size=3)
        # B passes through a point inside A's image.
        ca, ra = rng.uniform(0.1, 0.9) * a["cols"], rng.uniform(0.1, 0.9) * a["rows"]
        q = a["pos"] + ca * a["sprow"] * a["row"] + ra * a["spcol"] * a["col"]
        ub, vb = rng.uniform(0.05, 0.95) * b["cols"] * b["sprow"], rng.uniform(0.05, 0.95) * b["rows"] * b["spcol"]
        b["pos"] = q - ub * b["row"] - vb * b["col"]
        seg = model(a, b)
        if seg is None or not well_conditioned(a, b, seg):
            continue
        print(fmt(a), fmt(b), " ".join("%.6f" % x for x in (*seg[0], *seg[1])))
        made += 1


main()
