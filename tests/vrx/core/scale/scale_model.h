#pragma once
// A plain model of the interpolating and area scalers, one sample at a time
// in 64-bit integers and doubles: positions accumulated in double as the
// engines do, Q12 values by their definition, every axis as a sequence of
// samples. It shares no code with the engines; the tests hold every engine
// to it bit for bit.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <type_traits>
#include <vector>

namespace scale_model {

// Samples of any type, interleaved channels, as 64-bit integers.
struct Image {
    uint32_t width = 0, height = 0, channels = 1;
    std::vector<int64_t> s;

    int64_t at(uint32_t x, uint32_t y, uint32_t c) const {
        return s[(size_t{y} * width + x) * channels + c];
    }
    int64_t& at(uint32_t x, uint32_t y, uint32_t c) {
        return s[(size_t{y} * width + x) * channels + c];
    }
};

inline Image blank(uint32_t w, uint32_t h, uint32_t ch) {
    return {w, h, ch, std::vector<int64_t>(size_t{w} * h * ch)};
}

template <class T>
Image image_of(const std::vector<uint8_t>& bytes, uint32_t w, uint32_t h, uint32_t ch) {
    Image im = blank(w, h, ch);
    for (size_t i = 0; i < im.s.size(); ++i) {
        T v;
        std::memcpy(&v, bytes.data() + i * sizeof(T), sizeof(T));
        im.s[i] = v;
    }
    return im;
}

template <class T>
std::vector<uint8_t> bytes_of(const Image& im) {
    std::vector<uint8_t> bytes(im.s.size() * sizeof(T));
    for (size_t i = 0; i < im.s.size(); ++i) {
        const T v = static_cast<T>(im.s[i]);
        std::memcpy(bytes.data() + i * sizeof(T), &v, sizeof(T));
    }
    return bytes;
}

inline int64_t floor_div(int64_t a, int64_t b) {
    int64_t q = a / b;
    if (a % b != 0 && (a < 0) != (b < 0)) --q;
    return q;
}

// x x 4096 to the nearest integer, halves away from zero, the half added
// before the scaling.
inline int64_t q12(double x) {
    const double half = 1.0 / 8192.0;
    return static_cast<int64_t>(std::trunc((x > 0 ? x + half : x - half) * 4096.0));
}
// floor(a x b / 4096).
inline int64_t q12_mul(int64_t a, int64_t b) { return floor_div(a * b, 4096); }

// A Q12 sum back to a sample: halves up, or away from zero.
inline int64_t round_up(int64_t v) { return floor_div(v + 2048, 4096); }
inline int64_t round_symmetric(int64_t v) {
    if (v == 0) return 0;
    return v > 0 ? floor_div(v + 2048, 4096) : -floor_div(2048 - v, 4096);
}

inline int64_t trunc_to_int(double x) { return static_cast<int64_t>(std::trunc(x)); }
inline int64_t clamp_index(int64_t i, int64_t n) { return i < 0 ? 0 : (i >= n ? n - 1 : i); }

using Line = std::vector<int64_t>;
using AxisFn = std::function<Line(const Line&)>;

// Every row (axis 0) or column (axis 1) of every channel through f.
inline Image along(const Image& in, bool columns, uint32_t size, const AxisFn& f) {
    Image out = columns ? blank(in.width, size, in.channels) : blank(size, in.height, in.channels);
    const uint32_t lines = columns ? in.width : in.height, length = columns ? in.height : in.width;
    for (uint32_t l = 0; l < lines; ++l)
        for (uint32_t c = 0; c < in.channels; ++c) {
            Line line(length);
            for (uint32_t k = 0; k < length; ++k)
                line[k] = columns ? in.at(l, k, c) : in.at(k, l, c);
            const Line r = f(line);
            for (uint32_t k = 0; k < size; ++k)
                (columns ? out.at(l, k, c) : out.at(k, l, c)) = r[k];
        }
    return out;
}

// ---------------------------------------------------------------------------
// Linear interpolation. One-based positions p = (r + 1) / 2 + i x r, the
// neighbours j and j + 1 (edges repeated). The width form's weight is
// Q12(p) - 4096 j, the height form's Q12(p - j).

inline Line li_axis(const Line& s, uint32_t n, bool width_form, bool unsigned_rounding) {
    const int64_t size = static_cast<int64_t>(s.size());
    const double r = static_cast<double>(s.size()) / n;
    double p = (r + 1) * 0.5;
    Line out(n);
    for (uint32_t i = 0; i < n; ++i, p += r) {
        const int64_t j = trunc_to_int(p);
        const int64_t w = width_form ? q12(p) - 4096 * j : q12(p - static_cast<double>(j));
        const int64_t v = s[clamp_index(j - 1, size)] * (4096 - w) + s[clamp_index(j, size)] * w;
        out[i] = unsigned_rounding ? round_up(v) : round_symmetric(v);
    }
    return out;
}

// Both axes shrinking in one pass, zero-based x = rx / 2 - 1/2 + i rx. A
// neighbour pair past the last one is the last pair with full weight on its
// second sample.
inline Image shrink_li(const Image& in, uint32_t w, uint32_t h, bool unsigned_rounding) {
    const double rx = static_cast<double>(in.width) / w, ry = static_cast<double>(in.height) / h;
    const double qx = std::trunc(4096 * rx) / 4096;
    const double n = std::floor(ry + 0.5), m = std::floor(qx + 0.5);
    const double eps = 2.220446049250313e-16;
    const bool even = std::fabs(ry - n) <= eps && std::fabs(qx - m) <= eps &&
                      std::fmod(n, 2) == 0 && std::fmod(m, 2) == 0;
    auto pair = [](double pos, uint32_t size, int64_t& j, int64_t& f) {
        j = trunc_to_int(pos);
        f = q12(pos) - 4096 * j;
        if (j > static_cast<int64_t>(size) - 2) {
            j = size - 2;
            f = 4096;
        }
    };
    auto rounding = [&](int64_t v) { return unsigned_rounding ? round_up(v) : round_symmetric(v); };
    Image out = blank(w, h, in.channels);
    double y = ry * 0.5 - 0.5;
    for (uint32_t row = 0; row < h; ++row, y += ry) {
        int64_t y0, fy;
        pair(y, in.height, y0, fy);
        double x = rx * 0.5 - 0.5;
        for (uint32_t i = 0; i < w; ++i, x += rx) {
            int64_t x0, wx;
            pair(x, in.width, x0, wx);
            for (uint32_t c = 0; c < in.channels; ++c) {
                const uint32_t Y = static_cast<uint32_t>(y0);
                if (even) {
                    const uint32_t k = static_cast<uint32_t>(m / 2 - 1 + i * m);
                    const int64_t s = in.at(k, Y, c) + in.at(k + 1, Y, c) + in.at(k, Y + 1, c) +
                                      in.at(k + 1, Y + 1, c);
                    out.at(i, row, c) =
                        unsigned_rounding || s > 0 ? floor_div(s + 2, 4) : floor_div(s + 1, 4);
                    continue;
                }
                const uint32_t X = static_cast<uint32_t>(x0);
                const int64_t a = in.at(X, Y, c), b = in.at(X + 1, Y, c);
                const int64_t cc = in.at(X, Y + 1, c), d = in.at(X + 1, Y + 1, c);
                int64_t v;
                if (in.channels == 1) {
                    const int64_t t = ((d - cc) - (b - a)) * wx + (cc - a) * 4096;
                    v = a * 4096 + (b - a) * wx + q12_mul(t, fy);
                } else {
                    const int64_t wd = q12_mul(wx, fy);
                    v = a * (4096 - wx - fy + wd) + b * (wx - wd) + cc * (fy - wd) + d * wd;
                }
                out.at(i, row, c) = rounding(v);
            }
        }
    }
    return out;
}

// The linear-interpolation front end: odd whole reductions of both axes pick
// the centre samples, other reductions of both axes interpolate in one pass;
// otherwise the shrinking axis first, each axis of one sample repeated.
inline Image scale_li(const Image& in, uint32_t w, uint32_t h, bool unsigned_rounding) {
    if (h < in.height && w < in.width) {
        const double rx = static_cast<double>(in.width) / w,
                     ry = static_cast<double>(in.height) / h;
        if (rx == std::floor(rx) && ry == std::floor(ry) && std::fmod(rx, 2) == 1 &&
            std::fmod(ry, 2) == 1) {
            Image out = blank(w, h, in.channels);
            const uint32_t nx = static_cast<uint32_t>(rx), ny = static_cast<uint32_t>(ry);
            for (uint32_t y = 0; y < h; ++y)
                for (uint32_t x = 0; x < w; ++x)
                    for (uint32_t c = 0; c < in.channels; ++c)
                        out.at(x, y, c) = in.at(nx / 2 + x * nx, ny / 2 + y * ny, c);
            return out;
        }
        return shrink_li(in, w, h, unsigned_rounding);
    }
    auto axis = [&](const Image& im, bool columns, uint32_t size) {
        const uint32_t from = columns ? im.height : im.width;
        if (from == size) return im;
        return along(im, columns, size, [&](const Line& s) {
            return from == 1 ? Line(size, s[0]) : li_axis(s, size, !columns, unsigned_rounding);
        });
    };
    if (h < in.height) return axis(axis(in, true, h), false, w);
    return axis(axis(in, false, w), true, h);
}

// ---------------------------------------------------------------------------
// Area (pixel projection). Destination i stands for [p_i, p_i + r), p
// accumulated in double. Weights are double or Q12 (`q12_weights`).

struct Projection {
    bool q12_weights;
    int64_t full_scale;  // 255 or 65535
};

// A weight in the chosen form (Q12: x 4096).
inline double weight_of(const Projection& k, double x) {
    return k.q12_weights ? static_cast<double>(q12(x)) : x;
}

inline int64_t blend(const Projection& k, int64_t earlier, int64_t later, double w) {
    if (!k.q12_weights) return trunc_to_int(later * (1 - w) + earlier * w + 0.5);
    const int64_t wq = q12(w);
    return floor_div(later * (4096 - wq) + earlier * wq + 2048, 4096);
}

// Width enlargement: a copy of the pixel where the interval starts, or the
// blend with the next one when the interval crosses into it.
inline Line pp_enlarge_width(const Projection& k, const Line& s, uint32_t n) {
    const double r = static_cast<double>(s.size()) / n;
    const int64_t last = static_cast<int64_t>(s.size()) - 1;
    Line out(n);
    double p = 0;
    for (uint32_t i = 0; i + 1 < n; ++i, p += r) {
        const int64_t i0 = trunc_to_int(p), i1 = trunc_to_int(p + r);
        const double w = i0 != i1 && i0 < last ? (std::ceil(p) - p) / r : 1.0;
        const bool copy = k.q12_weights ? q12(w) == 4096 : w == 1.0;
        out[i] = copy ? s[std::min(i0, last)] : blend(k, s[i0], s[i0 + 1], w);
    }
    out[n - 1] = s[last];
    return out;
}

// Height enlargement: the same, but a line blends only when its interval
// ends inside the next line, and the last line never does.
inline Line pp_enlarge_height(const Projection& k, const Line& s, uint32_t n) {
    const double r = static_cast<double>(s.size()) / n;
    const int64_t last = static_cast<int64_t>(s.size()) - 1;
    Line out(n);
    double p = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const double end = p + r;
        const int64_t i0 = std::min(trunc_to_int(p), last), i1 = trunc_to_int(end);
        out[i] = s[i0];
        if (i0 < i1 && static_cast<double>(i1) != end && i + 1 != n && i0 < last)
            out[i] = blend(k, s[i0], s[i0 + 1], (std::ceil(p) - p) / r);
        p = end;
    }
    return out;
}

// A weighted sum of total weight `total` back to a sample (Q12 forms: in
// double, held at full scale, when the rounded inverse would move full scale
// by half a level).
inline int64_t pp_output(const Projection& k, double r, double sum_double, int64_t sum_q12,
                         int64_t total) {
    if (!k.q12_weights) return trunc_to_int(sum_double * (1 / r) + 0.5);
    const int64_t inv = q12(1 / r);
    const int64_t hi = q12_mul(total * k.full_scale, inv);
    const bool integer = hi > (k.full_scale * 4096 - 2048) && hi < (k.full_scale * 4096 + 2048);
    if (!integer)
        return std::min(k.full_scale,
                        trunc_to_int(static_cast<double>(sum_q12) * (1 / r) / 4096 + 0.5));
    return floor_div(q12_mul(sum_q12, inv) + 2048, 4096);
}

// Width reduction: first and last pixel weighted by their covered share, the
// last destination pixel ending on the last source pixel with full weight;
// the fallback to double decided once for the line by the largest total.
inline Line pp_reduce_width(const Projection& k, const Line& s, uint32_t n) {
    const double r = static_cast<double>(s.size()) / n;
    std::vector<int64_t> first(n), last(n);
    std::vector<double> fw(n), lw(n);
    double p = 0;
    int64_t most = 0;
    for (uint32_t i = 0; i < n; ++i) {
        first[i] = trunc_to_int(p);
        fw[i] = weight_of(k, first[i] + 1 - p);
        p += r;
        last[i] = trunc_to_int(p);
        lw[i] = weight_of(k, p - std::trunc(p));
        if (i + 1 == n) {
            last[i] = static_cast<int64_t>(s.size()) - 1;
            lw[i] = weight_of(k, 1.0);
        }
        most =
            std::max<int64_t>(most, (last[i] - first[i] - 1) * 4096 + static_cast<int64_t>(fw[i]) +
                                        static_cast<int64_t>(lw[i]));
    }
    Line out(n);
    for (uint32_t i = 0; i < n; ++i) {
        double sd = s[first[i]] * fw[i];
        int64_t sq = s[first[i]] * static_cast<int64_t>(fw[i]);
        for (int64_t j = first[i] + 1; j < last[i]; ++j) {
            sd += static_cast<double>(s[j]);
            sq += s[j] * 4096;
        }
        sd += s[last[i]] * lw[i];
        sq += s[last[i]] * static_cast<int64_t>(lw[i]);
        out[i] = pp_output(k, r, sd, sq, most);
    }
    return out;
}

// Height reduction: the lines under the interval, the last partial one left
// out once the source is used up; the fallback decided line by line.
inline Line pp_reduce_height(const Projection& k, const Line& s, uint32_t n) {
    const double r = static_cast<double>(s.size()) / n;
    const int64_t size = static_cast<int64_t>(s.size());
    const double one = k.q12_weights ? 4096 : 1;
    Line out(n);
    double p = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const double end = p + r;
        const int64_t i0 = trunc_to_int(p), i1 = trunc_to_int(end);
        const double f = static_cast<double>(i0) == p ? one : weight_of(k, std::ceil(p) - p);
        double sd = s[i0] * f, total = f;
        int64_t sq = s[i0] * static_cast<int64_t>(f);
        for (int64_t j = i0 + 1; j < i1 && j < size; ++j) {
            sd += s[j] * one;
            sq += s[j] * 4096;
            total += one;
        }
        if (static_cast<double>(i1) < end && i1 < size) {
            const double g = weight_of(k, end - i1);
            sd += s[i1] * g;
            sq += s[i1] * static_cast<int64_t>(g);
            total += g;
        }
        out[i] = pp_output(k, r, sd, sq, static_cast<int64_t>(total));
        p = end;
    }
    return out;
}

// Whole-ratio averaging: blocks of size / (size / ratio) samples, rounded.
inline Line average(const Line& s, uint32_t ratio) {
    const uint32_t n = std::max<uint32_t>(1, static_cast<uint32_t>(s.size()) / ratio);
    const int64_t block = static_cast<int64_t>(s.size()) / n;
    Line out(n);
    for (uint32_t i = 0; i < n; ++i) {
        int64_t sum = 0;
        for (int64_t j = 0; j < block; ++j) sum += s[i * block + j];
        out[i] = (sum + block / 2) / block;
    }
    return out;
}

// The area front end, one axis at a time, the height first when it shrinks:
// no change, a repeated single sample, enlargement, reduction by a ratio
// that is not whole, or whole-ratio averaging.
inline Image scale_pp(const Projection& k, const Image& in, uint32_t w, uint32_t h) {
    auto axis = [&](const Image& im, bool columns, uint32_t size) {
        const uint32_t from = columns ? im.height : im.width;
        if (from == size) return im;
        return along(im, columns, size, [&](const Line& s) {
            if (from == 1) return Line(size, s[0]);
            if (from < size)
                return columns ? pp_enlarge_height(k, s, size) : pp_enlarge_width(k, s, size);
            if (from % size != 0)
                return columns ? pp_reduce_height(k, s, size) : pp_reduce_width(k, s, size);
            return average(s, from / size);
        });
    };
    if (h < in.height) return axis(axis(in, true, h), false, w);
    return axis(axis(in, false, w), true, h);
}

}  // namespace scale_model
