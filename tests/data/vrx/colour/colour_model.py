#!/usr/bin/python3
"""Reference model of the colour stages, written in numpy from their
descriptions, and the fixtures the C++ tests compare against.

    /usr/bin/python3 tests/data/vrx/colour/colour_model.py

writes beside itself:
  colour_pairs.txt  every source/target pair of the twelve colour types at
                    8 bits and a sampled set at 16 bits: the pixels of
                    pair_pixels() through the planned chain
  dlut_cases.txt    the direct-table engine on random tables
  matrix_cases.txt  colour matrices in double and Q12 on random matrices

Pixels and tables come from a xorshift32 generator that the tests repeat, so
the files hold only results, as hex bytes (16-bit samples little-endian).
numpy's AVX-512 kernels are switched off so that its pow is the C library's,
as in the engines.
"""
import os

os.environ["NPY_DISABLE_CPU_FEATURES"] = \
    "AVX512F AVX512CD AVX512_SKX AVX512_CLX AVX512_CNL AVX512_ICL"
import math  # noqa: E402
import sys  # noqa: E402

import numpy as np  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
TYPES = ["gray", "gray_reverse", "lstar", "s_rgb", "adobe_rgb", "ycbcr", "hsl",
         "icc_lab", "itu_lab", "xyz", "cmy", "cmyk"]
CHANNELS = {t: 1 for t in ("gray", "gray_reverse", "lstar")}
CHANNELS.update({t: 3 for t in TYPES[3:11]})
CHANNELS["cmyk"] = 4
GRID = 33
STEP = 1.0 / 32
EPS = 2.220446049250313e-16


# ---------------------------------------------------------------- generator
class XorShift:
    def __init__(self, seed):
        self.s = seed & 0xFFFFFFFF or 1

    def next(self):
        s = self.s
        s ^= (s << 13) & 0xFFFFFFFF
        s ^= s >> 17
        s ^= (s << 5) & 0xFFFFFFFF
        self.s = s
        return s

    def below(self, n):
        return self.next() % n


def pair_pixels(bits, si, ti):
    """The test pixels of one pair: every value for a one-channel source at
    8 bits; else every corner of the cube, 8 pixels near grid points and 24
    random ones."""
    n = CHANNELS[TYPES[si]]
    mx = (1 << bits) - 1
    if n == 1 and bits == 8:
        return np.arange(256, dtype=np.int64).reshape(-1, 1)
    rng = XorShift(0x9E3779B9 ^ (bits << 16) ^ (si << 8) ^ ti)
    px = [[mx if (k >> c) & 1 else 0 for c in range(n)] for k in range(1 << n)]
    for _ in range(8):
        px.append([math.floor(rng.below(GRID) * mx / 32 + 0.5) for _ in range(n)])
    for _ in range(24):
        px.append([rng.below(mx + 1) for _ in range(n)])
    return np.array(px, dtype=np.int64)


# --------------------------------------------------------------- converters
def clamp01(v):
    return np.where(v < 0, 0.0, np.where(v > 1, 1.0, v))


def cols(a):
    return [a[:, i] for i in range(a.shape[1])]


def stack(*c):
    return np.stack(c, axis=1)


def pw(x, e):
    return np.power(x, e)


W_R, W_G, W_B = 0.298992944, 0.587015974, 0.113991082
SIX29 = 0.20689655172413793
FOUR29 = 0.13793103448275862
LAB_EPS = SIX29 * SIX29 * SIX29
LAB_K = 1.0 / (3.0 * (SIX29 * SIX29))
WHITE_X, WHITE_Z = 0.9643, 0.8251


def lab_f(t, e):
    out = t * LAB_K + FOUR29
    m = t > LAB_EPS
    out[m] = pw(t[m], e)
    return out


def lab_g(u):
    return np.where(u > SIX29, u * u * u, (u - FOUR29) / LAB_K)


def gray2rgb(a):
    g = a[:, 0]
    return stack(g, g, g)


def rgb2gray(a):
    r, g, b = cols(a)
    return stack(clamp01(W_R * r + W_G * g + W_B * b))


def rgb2ycbcr(a):
    r, g, b = cols(a)
    return stack(clamp01(W_R * r + W_G * g + W_B * b),
                 clamp01(-0.16873191 * r - 0.331273123 * g + 0.500005033 * b + 0.5),
                 clamp01(0.500005033 * r - 0.418698983 * g - 0.08130605 * b + 0.5))


def ycbcr2rgb(a):
    y, cb, cr = cols(a)
    cb = cb - 0.5
    cr = cr - 0.5
    return stack(clamp01(y + 1.402 * cr), clamp01(y - 0.3441 * cb - 0.7141 * cr),
                 clamp01(y + 1.772 * cb))


def rgb2cmy(a):
    return 1 - a


def rgb2cmyk(a):
    c, m, y = cols(1 - a)
    k = np.minimum(np.minimum(c, m), y)
    black = np.abs(1 - k) <= EPS
    z = np.zeros_like(k)
    return stack(np.where(black, z, c - k), np.where(black, z, m - k),
                 np.where(black, z, y - k), k)


def cmyk2rgb(a):
    c, m, y, k = cols(a)
    return stack(1 - np.minimum(1.0, c + k), 1 - np.minimum(1.0, m + k),
                 1 - np.minimum(1.0, y + k))


def rgb2hsl(a):
    r, g, b = cols(a)
    mx = np.maximum(np.maximum(r, g), b)
    mn = np.minimum(np.minimum(r, g), b)
    l = (mx + mn) * 0.5
    d = mx - mn
    chroma = np.abs(d) > EPS
    dd = np.where(chroma, d, 1.0)
    s = np.where(l <= 0.5, d / np.where(chroma, mx + mn, 1.0),
                 d / np.where(chroma, 2 - mx - mn, 1.0))
    h = np.where(mx == r, (g - b) / dd, np.where(mx == g, 2 + (b - r) / dd, 4 + (r - g) / dd))
    h = h * 60
    h = np.where(h < 0, h + 360, h)
    h = clamp01(h * 0.002777777777777778)
    return stack(np.where(chroma, h, 0.0), clamp01(np.where(chroma, s, 0.0)), clamp01(l))


def round_to_int(x):
    return np.where(x >= 0, np.trunc(x + 0.5), np.trunc(x - 0.5)).astype(np.int64)


def hsl2rgb(a):
    h, s, l = cols(a)
    m2 = np.where(l < 0.5, l * (1 + s), l * (1 - s) + s)
    m1 = 2 * l - m2
    deg = h * 360
    hue = np.where(deg < 0, 0, np.where(deg > 360, 360, round_to_int(deg)))

    def f(x):
        x = np.where(x < 0, x + 360, np.where(x >= 360, x - 360, x))
        xf = x.astype(np.float64)
        return np.where(x < 60, m1 + (m2 - m1) * xf * 0.016666666666666666,
                        np.where(x < 180, m2,
                                 np.where(x < 240,
                                          m1 + (m2 - m1) * (240 - xf) * 0.016666666666666666,
                                          m1)))
    rgb = stack(clamp01(f(hue + 120)), clamp01(f(hue)), clamp01(f(hue - 120)))
    gray = s == 0
    return np.where(gray[:, None], stack(l, l, l), rgb)


def dot3(m, a):
    x, y, z = cols(a)
    return [m[i][0] * x + m[i][1] * y + m[i][2] * z for i in range(3)]


SRGB2XYZ = [[0.4361, 0.3851, 0.1431], [0.2225, 0.7169, 0.0606], [0.0139, 0.0971, 0.7141]]
XYZ2SRGB = [[3.133602571, -1.616821401, -0.490742404],
            [-0.978650316, 1.916061004, 0.033512902],
            [0.072076558, -0.229065545, 1.405359497]]
ADOBE2XYZ = [[0.6097, 0.2053, 0.1492], [0.3111, 0.6257, 0.0632], [0.0195, 0.0609, 0.7446]]
XYZ2ADOBE = [[1.962711, -0.610757, -0.34144], [-0.97876, 1.916094, 0.033486],
             [0.028651, -0.14072, 1.349206]]


def srgb2xyz(a):
    lin = np.empty_like(a)
    for i in range(3):
        v = a[:, i]
        l = v * 0.07739938080495357
        m = v > 0.0392768
        l[m] = pw((v[m] + 0.055) * 0.9478672985781991, 2.4)
        lin[:, i] = np.minimum(l, 1.0)
    return stack(*[clamp01(v) for v in dot3(SRGB2XYZ, lin)])


def xyz2srgb(a):
    out = []
    for lin in dot3(XYZ2SRGB, a):
        lin = clamp01(lin)
        v = 12.92 * lin
        m = lin > 0.00304
        v[m] = 1.055 * pw(lin[m], 1.0 / 2.4) - 0.055
        out.append(np.minimum(v, 1.0))
    return stack(*out)


def adobe2xyz(a):
    lin = a.copy()
    m = a > 0
    lin[m] = pw(a[m], 2.2)
    return stack(*dot3(ADOBE2XYZ, lin))


def xyz2adobe(a):
    out = []
    for v in dot3(XYZ2ADOBE, a):
        o = np.zeros_like(v)
        m = v > 0
        o[m] = clamp01(pw(v[m], 1.0 / 2.2))
        out.append(o)
    return stack(*out)


def lstar2xyz(a):
    y = lab_g((100 * a[:, 0] + 16) * 0.008620689655172414)
    return stack(WHITE_X * y, y, WHITE_Z * y)


def xyz2lstar(a):
    return stack((116 * lab_f(a[:, 1].copy(), 1.0 / 3.0) - 16) * 0.01)


def cielab2xyz(a):
    L, A, B = cols(a)
    ty = (L + 16) * 0.008620689655172414
    tx = ty + 0.002 * A
    tz = ty - 0.005 * B
    return stack(WHITE_X * lab_g(tx), lab_g(ty), WHITE_Z * lab_g(tz))


def xyz2cielab(a):
    X, Y, Z = cols(a)
    tx = lab_f(X * 1.0370216737529814, 1.0 / 3.0)
    ty = lab_f(Y.copy(), 1.0 / 3.0)
    tz = lab_f(Z * 1.21197430614471, 1.0 / 3.0)
    return stack(116 * ty - 16, 500 * (tx - ty), 200 * (ty - tz))


def icclab2xyz(a):
    L, A, B = cols(a)
    return cielab2xyz(stack(100 * L, 255 * A - 128, 255 * B - 128))


def xyz2icclab(a):
    L, A, B = cols(xyz2cielab(a))
    return stack(0.01 * L, A * 0.00392156862745098 + 0.5019607843137255,
                 B * 0.00392156862745098 + 0.5019607843137255)


def itu_scale(bits):
    return 256.0 / 255.0 if bits <= 8 else 65536.0 / 65535.0


def itulab2xyz(bits):
    s = itu_scale(bits)
    o = [-(r * z * s) for r, z in zip((100.0, 170.0, 200.0), (0.0, 0.5, 0.375))]

    def conv(a):
        L, A, B = cols(a)
        return cielab2xyz(stack(100 * L + o[0], 170 * A + o[1], 200 * B + o[2]))
    return conv


def xyz2itulab(bits):
    s = itu_scale(bits)
    p = [z * s for z in (0.0, 0.5, 0.375)]

    def conv(a):
        L, A, B = cols(xyz2cielab(a))
        return stack(0.01 * L, A * 0.0058823529411764705 + p[1], 0.005 * B + p[2])
    return conv


def chain(*fs):
    def conv(a):
        for f in fs:
            a = f(a)
        return a
    return conv


def to_xyz(t, bits):
    return {
        "gray": chain(gray2rgb, srgb2xyz),
        "gray_reverse": chain(lambda a: 1 - a, gray2rgb, srgb2xyz),
        "lstar": lstar2xyz,
        "s_rgb": srgb2xyz,
        "adobe_rgb": adobe2xyz,
        "ycbcr": chain(ycbcr2rgb, srgb2xyz),
        "hsl": chain(hsl2rgb, srgb2xyz),
        "icc_lab": icclab2xyz,
        "itu_lab": itulab2xyz(bits),
        "cmy": chain(rgb2cmy, srgb2xyz),
        "cmyk": chain(cmyk2rgb, srgb2xyz),
    }.get(t)


def from_xyz(t, bits):
    return {
        "gray": chain(xyz2srgb, rgb2gray),
        "gray_reverse": chain(xyz2srgb, rgb2gray, lambda a: 1 - a),
        "lstar": xyz2lstar,
        "s_rgb": xyz2srgb,
        "adobe_rgb": xyz2adobe,
        "ycbcr": chain(xyz2srgb, rgb2ycbcr),
        "hsl": chain(xyz2srgb, rgb2hsl),
        "icc_lab": xyz2icclab,
        "itu_lab": xyz2itulab(bits),
        "cmy": chain(xyz2srgb, rgb2cmy),
        "cmyk": chain(xyz2srgb, rgb2cmyk),
    }.get(t)


# -------------------------------------------------------------------- stages
def store(y, mx):
    """A normalised result as a sample: max x y clamped and rounded half up."""
    v = mx * y
    return np.where(v < 0, 0, np.where(v > mx, mx, np.floor(v + 0.5))).astype(np.int64)


def wrap32(v):
    return ((np.asarray(v, dtype=np.int64) + (1 << 31)) % (1 << 32)) - (1 << 31)


def q12_truncated(x):
    s = x * 4096.0
    if math.isnan(s):
        return 0
    if s >= 2147483647.0:
        return 2147483647
    if s <= -2147483648.0:
        return -2147483648
    return int(s)  # truncates toward zero


def q12_product(a, b):
    return int(wrap32((a * b) // 4096))


def matrix_apply(px, m, inoff, outoff, fixed, bits):
    """out = M (in + inoff) + outoff on integer samples of `bits` bits, in
    Q12 (coefficients truncated) or in double."""
    rows, n = len(m), len(m[0])
    mx = (1 << bits) - 1
    inoff = inoff or [0.0] * n
    outoff = outoff or [0.0] * rows
    out = np.empty((px.shape[0], rows), dtype=np.int64)
    for r in range(rows):
        if fixed:
            q = [q12_truncated(c) for c in m[r]]
            k = 0
            for c in range(n):
                k = int(wrap32(k + q12_product(q[c], q12_truncated(inoff[c]))))
            k = int(wrap32(k + q12_truncated(outoff[r])))
            v = np.zeros(px.shape[0], dtype=np.int64)
            for c in range(n):
                v = v + q[c] * px[:, c]
            v = wrap32(v + k)
            out[:, r] = np.where(v < 0, 0, np.where(v <= mx * 4096, (v + 2048) >> 12, mx))
        else:
            k = 0.0
            for c in range(n):
                k = k + m[r][c] * inoff[c]
            k = k + outoff[r]
            v = np.zeros(px.shape[0])
            for c in range(n):
                v = v + px[:, c].astype(np.float64) * m[r][c]
            v = v + k
            out[:, r] = np.where(v < 0, 0, np.where(v <= mx, np.trunc(v + 0.5), mx))
    return out


def dlut_apply(px, table, src_bits, table_bits, outputs, grid, first_slowest):
    """Tetrahedral interpolation exactly as the engines compute it."""
    n = px.shape[1]
    table = np.asarray(table, dtype=np.int64)
    if table_bits != src_bits:
        table = (table * 2139127681) >> 39 if src_bits == 8 else table * 257
    mx = (1 << src_bits) - 1
    scale = (grid - 1) / mx
    s = np.arange(mx + 1)
    x = s * scale
    cell = np.floor(x).astype(np.int64)
    frac = x - cell
    if src_bits == 8:
        frac = np.floor(frac * 16384 + 0.5).astype(np.int64)
        one, acc0 = 16384, 8192
    else:
        one, acc0 = 1.0, 0.5
    cell[mx] = grid - 2
    frac[mx] = one
    stride = [0] * (n + 1)
    if first_slowest:
        stride[n - 1] = outputs
        for i in range(n - 2, -1, -1):
            stride[i] = stride[i + 1] * grid
        stride[n] = stride[0] * grid
    else:
        stride[0] = outputs
        for i in range(1, n + 1):
            stride[i] = stride[i - 1] * grid
    stride = np.array(stride, dtype=np.int64)
    base = np.zeros(px.shape[0], dtype=np.int64)
    f = np.empty(px.shape, dtype=frac.dtype)
    for i in range(n):
        base += stride[i] * cell[px[:, i]]
        f[:, i] = frac[px[:, i]]
    order = np.argsort(-f, axis=1, kind="stable")
    fo = np.take_along_axis(f, order, axis=1)
    vert = [base]
    weights = [one - fo[:, 0]]
    for k in range(1, n + 1):
        vert.append(vert[-1] + stride[order[:, k - 1]])
        weights.append(fo[:, k - 1] - fo[:, k] if k < n else fo[:, n - 1])
    out = np.empty((px.shape[0], outputs), dtype=np.int64)
    for c in range(outputs):
        acc = np.full(px.shape[0], acc0, dtype=frac.dtype)
        for k in range(n + 1):
            acc = acc + table[vert[k] + c] * weights[k]
        if src_bits == 8:
            out[:, c] = np.minimum(acc >> 14, mx)
        else:
            out[:, c] = np.trunc(np.minimum(acc, mx)).astype(np.int64)
    return out


def ptop(px, to_hsl, bits):
    mx = float((1 << bits) - 1)
    r = (rgb2hsl if to_hsl else hsl2rgb)(px / mx)
    return store(r, mx)


# ---------------------------------------------------------------------- plans
def reversal(bits, n):
    mx = (1 << bits) - 1
    return [mx - np.arange(1 << bits)] * n


def double_path(S, T, bits):
    mx = (1 << bits) - 1
    tx, fx = to_xyz(S, bits), from_xyz(T, bits)
    n, m = CHANNELS[S], CHANNELS[T]

    def through(a):
        a = tx(a) if tx else a
        return fx(a) if fx else a
    if n == 1 and m == 1:
        x = np.add.accumulate(np.concatenate([[0.0], np.full(mx, 1.0 / mx)]))
        return ("lut", [store(through(x.reshape(-1, 1))[:, 0], mx)])
    assert (n, m) in ((1, 3), (1, 4), (3, 1), (3, 3), (3, 4), (4, 1), (4, 3))
    idx = np.indices((GRID,) * n).reshape(n, -1).T  # input 0 slowest
    table = store(through(idx * STEP), mx)
    return ("dlut", table.reshape(-1))


def integer_dlut(bits, to_cmyk):
    mx = (1 << bits) - 1
    g = np.floor(np.clip(np.arange(GRID) * STEP * mx, 0, mx) + 0.5).astype(np.int64)
    n = 3 if to_cmyk else 4
    idx = np.indices((GRID,) * n).reshape(n, -1).T
    v = g[idx]
    if to_cmyk:
        c, m_, y = (mx - v[:, i] for i in range(3))
        k = np.minimum(np.minimum(c, m_), y)
        black = k == mx
        out = np.stack([np.where(black, 0, c - k), np.where(black, 0, m_ - k),
                        np.where(black, 0, y - k), k], axis=1)
    else:
        out = np.stack([mx - np.minimum(mx, v[:, i] + v[:, 3]) for i in range(3)], axis=1)
    return ("dlut", out.reshape(-1))


YCC = [[W_R, W_G, W_B], [-0.16873191, -0.331273123, 0.500005033],
       [0.500005033, -0.418698983, -0.08130605]]
YCC_INV = [[1, 0, 1.402], [1, -0.3441, -0.7141], [1, 1.772, 0]]


def plan(S, T, bits):
    """The stages of one conversion, in chain order: (kind, data, colour type
    the stage produces). The tests run in this order; a source with plans of
    its own takes the double path (through XYZ) for every other target."""
    gw = [[W_R, W_G, W_B]]
    def double():
        return [double_path(S, T, bits) + (T,)]
    if S == "s_rgb":
        if T == "gray":
            return [("matrix", gw, "gray")]
        if T == "gray_reverse":
            return [("matrix", gw, "gray"), ("lut", reversal(bits, 1), T)]
        if T == "ycbcr":
            return [("matrix", YCC, T)]
        if T == "cmy":
            return [("lut", reversal(bits, 3), T)]
        if T == "cmyk":
            return [integer_dlut(bits, True) + (T,)]
        if T == "hsl":
            return [("point", True, T)]
        return double()
    if S == "gray":
        if T == "s_rgb":
            return [("matrix", [[1], [1], [1]], T)]
        if T == "ycbcr":
            return [("matrix", [[1], [0], [0]], T)]
        if T == "gray_reverse":
            return [("not", None, T)] if bits == 1 else [("lut", reversal(bits, 1), T)]
        if T == "lstar" and bits == 1:
            return [("relabel", None, T)]
        return double()
    if S == "lstar":
        if bits != 1:
            return double()
        return [("not" if T == "gray_reverse" else "relabel", None, T)]
    if S == "gray_reverse":
        if T == "s_rgb":
            return [("lut", reversal(bits, 1), "gray"), ("matrix", [[1], [1], [1]], T)]
        if T == "ycbcr":
            return [("lut", reversal(bits, 1), "gray"), ("matrix", [[1], [0], [0]], T)]
        if T not in ("gray", "lstar"):
            return double()
        if bits == 1:
            return [("not", None, T)]
        if T == "lstar":
            return double()
        return [("lut", reversal(bits, 1), T)]
    if S == "ycbcr":
        if T == "s_rgb":
            return [("matrix", YCC_INV, T)]
        if T == "gray":
            return [("matrix", [[1, 0, 0]], T)]
        if T == "gray_reverse":
            return [("matrix", [[1, 0, 0]], "gray"), ("lut", reversal(bits, 1), T)]
        return double()
    if S == "cmy" and T == "s_rgb":
        return [("lut", reversal(bits, 3), T)]
    if S == "cmyk" and T == "s_rgb":
        return [integer_dlut(bits, False) + (T,)]
    if S == "hsl":
        if T == "s_rgb":
            return [("point", False, T)]
        return [("point", False, "s_rgb"), ("space", None, T)]
    if T == "hsl":
        return [("space", None, "s_rgb"), ("point", True, T)]
    return double()


def convert(px, S, T, bits):
    """px (pixels x channels of S) through the planned chain."""
    if S == T:
        return px
    mx = (1 << bits) - 1
    current = S
    for kind, data, to in plan(S, T, bits):
        if kind == "lut":
            px = np.stack([data[c if len(data) > 1 else 0][px[:, c]]
                           for c in range(px.shape[1])], axis=1)
        elif kind == "matrix":
            h = float(1 << (bits - 1))
            inoff = [0.0, -h, -h] if current == "ycbcr" else None
            outoff = [0.0, h, h] if inoff is None and to == "ycbcr" else None
            px = matrix_apply(px, data, inoff, outoff, bits <= 8, bits)
        elif kind == "dlut":
            px = dlut_apply(px, data, bits, bits, CHANNELS[to], GRID, True)
        elif kind == "point":
            px = ptop(px, data, bits)
        elif kind == "space":
            px = convert(px, current, to, bits)
        elif kind == "not":
            px = mx - px
        current = to
    return px


# ------------------------------------------------------------------ fixtures
def hexbytes(a, bits):
    return np.asarray(a, dtype="<u1" if bits == 8 else "<u2").tobytes().hex()


SAMPLED_16 = [("s_rgb", "ycbcr"), ("ycbcr", "s_rgb"), ("gray", "gray_reverse"),
              ("gray_reverse", "s_rgb"), ("s_rgb", "gray_reverse"), ("s_rgb", "lstar"),
              ("lstar", "s_rgb"), ("gray", "lstar"), ("s_rgb", "cmyk"), ("cmyk", "s_rgb"),
              ("cmyk", "gray"), ("s_rgb", "hsl"), ("hsl", "s_rgb"), ("hsl", "adobe_rgb"),
              ("adobe_rgb", "hsl"), ("xyz", "itu_lab"), ("itu_lab", "xyz"),
              ("icc_lab", "s_rgb"), ("ycbcr", "gray_reverse"), ("cmy", "s_rgb"),
              ("gray", "cmyk"), ("adobe_rgb", "icc_lab")]


def write_pairs(path):
    lines = ["# bits source target output-bytes (see colour_model.py)"]
    pairs = [(8, s, t) for s in TYPES for t in TYPES if s != t]
    pairs += [(16, s, t) for s, t in SAMPLED_16]
    for bits, s, t in pairs:
        px = pair_pixels(bits, TYPES.index(s), TYPES.index(t))
        lines.append(f"{bits} {s} {t} {hexbytes(convert(px, s, t, bits), bits)}")
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def dlut_cases():
    """(inputs, outputs, grid, source bits, table bits, first slowest)."""
    cases = []
    shapes = [(n, g) for n in (1, 2, 3) for g in (2, 33, 65)] + [(4, 5), (5, 5)]
    k = 0
    for n, g in shapes:
        for m in (1, 2, 3, 4):
            for src_bits in (8, 16):
                table_bits = src_bits if k % 3 else 24 - src_bits
                cases.append((n, m, g, src_bits, table_bits, k % 2))
                k += 1
    return cases


def dlut_case_data(case, index):
    n, m, g, src_bits, table_bits, _ = case
    rng = XorShift(0xD1B54A32 ^ index)
    tmax = (1 << table_bits) - 1
    table = [rng.below(tmax + 1) for _ in range(g ** n * m)]
    smax = (1 << src_bits) - 1
    px = [[rng.below(smax + 1) for _ in range(n)] for _ in range(24)]
    px += [[smax * ((p >> c) & 1) for c in range(n)] for p in range(1 << n)]
    return table, np.array(px, dtype=np.int64)


def write_dlut(path):
    lines = ["# inputs outputs grid source-bits table-bits first-slowest output-bytes"]
    for i, case in enumerate(dlut_cases()):
        table, px = dlut_case_data(case, i)
        n, m, g, sb, tb, fs = case
        out = dlut_apply(px, table, sb, tb, m, g, fs)
        lines.append(f"{n} {m} {g} {sb} {tb} {fs} {hexbytes(out, sb)}")
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


MATRIX_SHAPES = [(3, 3), (1, 3), (3, 1), (4, 3), (2, 5)]


def matrix_case_data(index, rows, cols_, bits):
    """Coefficients in [-2, 2] in steps of 1/1000, offsets in [-h, h]."""
    rng = XorShift(0x85EBCA6B ^ index)
    m = [[(rng.below(4001) - 2000) / 1000.0 for _ in range(cols_)] for _ in range(rows)]
    h = 1 << (bits - 1)
    inoff = [float(rng.below(2 * h + 1) - h) for _ in range(cols_)]
    outoff = [float(rng.below(2 * h + 1) - h) for _ in range(rows)]
    mx = (1 << bits) - 1
    px = np.array([[rng.below(mx + 1) for _ in range(cols_)] for _ in range(24)],
                  dtype=np.int64)
    return m, inoff, outoff, px


def write_matrix(path):
    lines = ["# rows cols bits fixed offsets(0 none 1 in 2 out 3 both) output-bytes"]
    index = 0
    for rows, cols_ in MATRIX_SHAPES:
        for bits, fixed in ((8, 1), (8, 0), (16, 0)):
            for offsets in range(4):
                m, inoff, outoff, px = matrix_case_data(index, rows, cols_, bits)
                out = matrix_apply(px, m, inoff if offsets & 1 else None,
                                   outoff if offsets & 2 else None, fixed, bits)
                lines.append(f"{rows} {cols_} {bits} {fixed} {offsets} {hexbytes(out, bits)}")
                index += 1
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    write_pairs(os.path.join(HERE, "colour_pairs.txt"))
    write_dlut(os.path.join(HERE, "dlut_cases.txt"))
    write_matrix(os.path.join(HERE, "matrix_cases.txt"))
    sys.exit(0)
