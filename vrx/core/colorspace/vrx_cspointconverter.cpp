#include "vrx/core/colorspace/vrx_cspointconverter.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>

#include "vrx/core/convertdatatype/vrx_pixelmath.h"

namespace vrx {

namespace {

constexpr double kSixTwentyNinths = 0.20689655172413793;   // 6/29
constexpr double kFourTwentyNinths = 0.13793103448275862;  // 4/29
constexpr double kOne116th = 0.008620689655172414;         // 1/116
constexpr double kWhiteX = 0.9643;
constexpr double kWhiteZ = 0.8251;

// The gray and luma weights of R, G and B.
constexpr double kWeightR = 0.298992944;
constexpr double kWeightG = 0.587015974;
constexpr double kWeightB = 0.113991082;

double six_twenty_ninths_power(int n) {
    double p = 1.0;
    for (int i = 0; i < n; ++i) p *= kSixTwentyNinths;
    return p;
}

inline double clamp01(double v) { return v < 0 ? 0.0 : (v > 1 ? 1.0 : v); }

// The Lab function and its inverse.
inline double lab_f(double t, double exponent) {
    return t > lab_epsilon ? std::pow(t, exponent) : t * lab_k + kFourTwentyNinths;
}
inline double lab_g(double u) {
    return u > kSixTwentyNinths ? u * u * u : (u - kFourTwentyNinths) / lab_k;
}

// row x (a, b, c), summed left to right.
inline double dot(const double* row, double a, double b, double c) {
    return row[0] * a + row[1] * b + row[2] * c;
}

// The ITU Lab zero points and ranges, and the scale 2^n / (2^n - 1) of S.
constexpr double kItuRange[3] = {100, 170, 200};
constexpr double kItuZero[3] = {0.0, 0.5, 0.375};
template <class S>
constexpr double itu_scale = sizeof(S) == 1 ? 256.0 / 255.0 : 65536.0 / 65535.0;

}  // namespace

const double lab_epsilon = six_twenty_ninths_power(3);
const double lab_k = 1.0 / (3.0 * six_twenty_ninths_power(2));

// Integer converters.

template <class T>
void Gray2grayrevINT<T>::convert(const T* in, T* out) const {
    out[0] = static_cast<T>(this->max - in[0]);
}

template <class T>
void Rgb2cmyINT<T>::convert(const T* in, T* out) const {
    for (int i = 0; i < 3; ++i) out[i] = static_cast<T>(this->max - in[i]);
}

template <class T>
void Rgb2cmykINT<T>::convert(const T* in, T* out) const {
    const T c = static_cast<T>(this->max - in[0]);
    const T m = static_cast<T>(this->max - in[1]);
    const T y = static_cast<T>(this->max - in[2]);
    const T k = std::min({c, m, y});
    if (k == this->max) {
        out[0] = out[1] = out[2] = 0;
    } else {
        out[0] = static_cast<T>(c - k);
        out[1] = static_cast<T>(m - k);
        out[2] = static_cast<T>(y - k);
    }
    out[3] = k;
}

template <class T>
void Cmyk2rgbINT<T>::convert(const T* in, T* out) const {
    const uint32_t max = this->max;
    for (int i = 0; i < 3; ++i)
        out[i] = static_cast<T>(max - std::min(max, uint32_t{in[i]} + in[3]));
}

// Direct double converters.

template <class T>
void Gray2rgbDEC<T>::convert(const T* in, T* out) const {
    out[0] = out[1] = out[2] = in[0];
}

template <class T>
void Rgb2grayDEC<T>::convert(const T* in, T* out) const {
    out[0] = clamp01(kWeightR * in[0] + kWeightG * in[1] + kWeightB * in[2]);
}

template <class T>
void Rgb2ycbcrDEC<T>::convert(const T* in, T* out) const {
    const T r = in[0], g = in[1], b = in[2];
    out[0] = clamp01(kWeightR * r + kWeightG * g + kWeightB * b);
    out[1] = clamp01(-0.16873191 * r - 0.331273123 * g + 0.500005033 * b + 0.5);
    out[2] = clamp01(0.500005033 * r - 0.418698983 * g - 0.08130605 * b + 0.5);
}

template <class T>
void Ycbcr2srgbDEC<T>::convert(const T* in, T* out) const {
    const T y = in[0], cb = in[1] - 0.5, cr = in[2] - 0.5;
    out[0] = clamp01(y + 1.402 * cr);
    out[1] = clamp01(y - 0.3441 * cb - 0.7141 * cr);
    out[2] = clamp01(y + 1.772 * cb);
}

template <class T>
void Rgb2cmyDEC<T>::convert(const T* in, T* out) const {
    for (int i = 0; i < 3; ++i) out[i] = 1 - in[i];
}

template <class T>
void Rgb2cmykDEC<T>::convert(const T* in, T* out) const {
    const T c = 1 - in[0], m = 1 - in[1], y = 1 - in[2];
    const T k = std::min({c, m, y});
    if (std::fabs(1 - k) <= DBL_EPSILON) {
        out[0] = out[1] = out[2] = 0;
    } else {
        out[0] = c - k;
        out[1] = m - k;
        out[2] = y - k;
    }
    out[3] = k;
}

template <class T>
void Cmyk2rgbDEC<T>::convert(const T* in, T* out) const {
    for (int i = 0; i < 3; ++i) out[i] = 1 - std::min(T{1}, in[i] + in[3]);
}

template <class T>
void Rgb2hslDEC<T>::convert(const T* in, T* out) const {
    const T r = in[0], g = in[1], b = in[2];
    const T mx = std::max({r, g, b});
    const T mn = std::min({r, g, b});
    const T l = (mx + mn) * 0.5;
    const T d = mx - mn;
    T h = 0, s = 0;
    if (std::fabs(d) > DBL_EPSILON) {
        s = l <= 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
        if (mx == r)
            h = (g - b) / d;
        else if (mx == g)
            h = 2 + (b - r) / d;
        else
            h = 4 + (r - g) / d;
        h *= 60;
        if (h < 0) h += 360;
        h = clamp01(h * 0.002777777777777778);
    }
    out[0] = h;
    out[1] = clamp01(s);
    out[2] = clamp01(l);
}

template <class T>
void Hsl2rgbDEC<T>::convert(const T* in, T* out) const {
    const T h = in[0], s = in[1], l = in[2];
    if (s == 0) {
        out[0] = out[1] = out[2] = l;
        return;
    }
    const T m2 = l < 0.5 ? l * (1 + s) : l * (1 - s) + s;
    const T m1 = 2 * l - m2;
    const T degrees = h * 360;
    const int hue = degrees < 0 ? 0 : (degrees > 360 ? 360 : round_to_int(degrees));
    auto f = [m1, m2](int x) -> T {
        if (x < 0)
            x += 360;
        else if (x >= 360)
            x -= 360;
        if (x < 60) return m1 + (m2 - m1) * x * 0.016666666666666666;
        if (x < 180) return m2;
        if (x < 240) return m1 + (m2 - m1) * (240 - x) * 0.016666666666666666;
        return m1;
    };
    out[0] = clamp01(f(hue + 120));
    out[1] = clamp01(f(hue));
    out[2] = clamp01(f(hue - 120));
}

// To and from XYZ.

template <class T>
Srgb2xyz<T>::Srgb2xyz(VRX_Manager* manager)
    : VRX_CsPointConverter<T>(manager, 3, 3), matrix{0.4361, 0.3851, 0.1431, 0.2225, 0.7169,
                                                     0.0606, 0.0139, 0.0971, 0.7141} {}

template <class T>
void Srgb2xyz<T>::convert(const T* in, T* out) const {
    T lin[3];
    for (int i = 0; i < 3; ++i) {
        const T v = in[i];
        const T l = v > 0.0392768 ? std::pow((v + 0.055) * 0.9478672985781991, 2.4)
                                  : v * 0.07739938080495357;
        lin[i] = l > 1 ? 1 : l;
    }
    for (int i = 0; i < 3; ++i) out[i] = clamp01(dot(matrix + 3 * i, lin[0], lin[1], lin[2]));
}

template <class T>
Xyz2srgb<T>::Xyz2srgb(VRX_Manager* manager)
    : VRX_CsPointConverter<T>(manager, 3, 3),
      matrix{3.133602571, -1.616821401, -0.490742404, -0.978650316, 1.916061004,
             0.033512902, 0.072076558,  -0.229065545, 1.405359497},
      exponent(1.0 / 2.4) {}

template <class T>
void Xyz2srgb<T>::convert(const T* in, T* out) const {
    for (int i = 0; i < 3; ++i) {
        const T lin = clamp01(dot(matrix + 3 * i, in[0], in[1], in[2]));
        const T v = lin > 0.00304 ? 1.055 * std::pow(lin, exponent) - 0.055 : 12.92 * lin;
        out[i] = v > 1 ? 1 : v;
    }
}

template <class T>
void Adobergb2xyz<T>::convert(const T* in, T* out) const {
    static constexpr double m[9] = {0.6097, 0.2053, 0.1492, 0.3111, 0.6257,
                                    0.0632, 0.0195, 0.0609, 0.7446};
    T lin[3];
    for (int i = 0; i < 3; ++i) lin[i] = in[i] > 0 ? std::pow(in[i], 2.2) : in[i];
    for (int i = 0; i < 3; ++i) out[i] = dot(m + 3 * i, lin[0], lin[1], lin[2]);
}

template <class T>
void Xyz2adobergb<T>::convert(const T* in, T* out) const {
    static constexpr double m[9] = {1.962711, -0.610757, -0.34144, -0.97876, 1.916094,
                                    0.033486, 0.028651,  -0.14072, 1.349206};
    for (int i = 0; i < 3; ++i) {
        const T v = dot(m + 3 * i, in[0], in[1], in[2]);
        out[i] = v > 0 ? clamp01(std::pow(v, exponent)) : 0;
    }
}

template <class T>
void Lstar2xyz<T>::convert(const T* in, T* out) const {
    const T y = lab_g((100 * in[0] + 16) * kOne116th);
    out[0] = kWhiteX * y;
    out[1] = y;
    out[2] = kWhiteZ * y;
}

template <class T>
void Xyz2lstar<T>::convert(const T* in, T* out) const {
    out[0] = (116 * lab_f(in[1], exponent) - 16) * 0.01;
}

template <class T>
void Cielab2xyz<T>::convert(const T* in, T* out) const {
    const T ty = (in[0] + 16) * kOne116th;
    const T tx = ty + 0.002 * in[1];
    const T tz = ty - 0.005 * in[2];
    out[0] = kWhiteX * lab_g(tx);
    out[1] = lab_g(ty);
    out[2] = kWhiteZ * lab_g(tz);
}

template <class T>
void Xyz2cielab<T>::convert(const T* in, T* out) const {
    const T tx = lab_f(in[0] * 1.0370216737529814, exponent);
    const T ty = lab_f(in[1], exponent);
    const T tz = lab_f(in[2] * 1.21197430614471, exponent);
    out[0] = 116 * ty - 16;
    out[1] = 500 * (tx - ty);
    out[2] = 200 * (ty - tz);
}

template <class T>
void Icclab2xyz<T>::convert(const T* in, T* out) const {
    const T lab_in[3] = {100 * in[0], 255 * in[1] - 128, 255 * in[2] - 128};
    this->member.convert(lab_in, out);
}

template <class T>
void Xyz2icclab<T>::convert(const T* in, T* out) const {
    T l[3];
    this->member.convert(in, l);
    out[0] = 0.01 * l[0];
    out[1] = l[1] * 0.00392156862745098 + 0.5019607843137255;
    out[2] = l[2] * 0.00392156862745098 + 0.5019607843137255;
}

template <class T, class S>
Itulab2cielabDEC<T, S>::Itulab2cielabDEC(VRX_Manager* manager)
    : VRX_CsPointConverter<T>(manager, 3, 3) {
    for (int i = 0; i < 3; ++i) offsets[i] = -(kItuRange[i] * kItuZero[i] * itu_scale<S>);
}

template <class T, class S>
void Itulab2cielabDEC<T, S>::convert(const T* in, T* out) const {
    out[0] = 100 * in[0] + offsets[0];
    out[1] = 170 * in[1] + offsets[1];
    out[2] = 200 * in[2] + offsets[2];
}

template <class T, class S>
Cielab2itulabDEC<T, S>::Cielab2itulabDEC(VRX_Manager* manager)
    : VRX_CsPointConverter<T>(manager, 3, 3) {
    for (int i = 0; i < 3; ++i) offsets[i] = kItuZero[i] * itu_scale<S>;
}

template <class T, class S>
void Cielab2itulabDEC<T, S>::convert(const T* in, T* out) const {
    out[0] = 0.01 * in[0];
    out[1] = in[1] * 0.0058823529411764705 + offsets[1];
    out[2] = 0.005 * in[2] + offsets[2];
}

template <class T>
void Grayrev2xyz<T>::convert(const T* in, T* out) const {
    const T gray_in = 1 - in[0];
    this->member.convert(&gray_in, out);
}

template <class T>
void Xyz2grayrev<T>::convert(const T* in, T* out) const {
    this->member.convert(in, out);
    out[0] = 1 - out[0];
}

template <class S, class D, class Member>
void VRX_CsIntegerAdapter<S, D, Member>::convert(const S* in, S* out) const {
    const D max = this->max;
    const D d[3] = {in[0] / max, in[1] / max, in[2] / max};
    D r[3];
    this->member.convert(d, r);
    for (int i = 0; i < 3; ++i) {
        const D v = max * r[i];
        out[i] = v < 0 ? S{0} : (v > max ? this->max : static_cast<S>(std::floor(v + 0.5)));
    }
}

template class Gray2grayrevINT<uint8_t>;
template class Gray2grayrevINT<uint16_t>;
template class Rgb2cmyINT<uint8_t>;
template class Rgb2cmyINT<uint16_t>;
template class Rgb2cmykINT<uint8_t>;
template class Rgb2cmykINT<uint16_t>;
template class Cmyk2rgbINT<uint8_t>;
template class Cmyk2rgbINT<uint16_t>;
template class Gray2rgbDEC<double>;
template class Rgb2grayDEC<double>;
template class Rgb2ycbcrDEC<double>;
template class Ycbcr2srgbDEC<double>;
template class Rgb2cmyDEC<double>;
template class Rgb2cmykDEC<double>;
template class Cmyk2rgbDEC<double>;
template class Rgb2hslDEC<double>;
template class Hsl2rgbDEC<double>;
template class Srgb2xyz<double>;
template class Xyz2srgb<double>;
template class Adobergb2xyz<double>;
template class Xyz2adobergb<double>;
template class Lstar2xyz<double>;
template class Xyz2lstar<double>;
template class Cielab2xyz<double>;
template class Xyz2cielab<double>;
template class Icclab2xyz<double>;
template class Xyz2icclab<double>;
template class Itulab2cielabDEC<double, uint8_t>;
template class Itulab2cielabDEC<double, uint16_t>;
template class Cielab2itulabDEC<double, uint8_t>;
template class Cielab2itulabDEC<double, uint16_t>;
template class Grayrev2xyz<double>;
template class Xyz2grayrev<double>;
template class VRX_CsIntegerAdapter<uint8_t, double, Rgb2hslDEC<double>>;
template class VRX_CsIntegerAdapter<uint16_t, double, Rgb2hslDEC<double>>;
template class VRX_CsIntegerAdapter<uint8_t, double, Hsl2rgbDEC<double>>;
template class VRX_CsIntegerAdapter<uint16_t, double, Hsl2rgbDEC<double>>;

}  // namespace vrx
