#pragma once
// Colour point converters: one pixel of one colour type to another. Every
// colour type has a converter to CIE XYZ (D50, white X 0.9643, Y 1,
// Z 0.8251) and one from it; a few direct converters (RGB and YCbCr, HSL,
// CMY(K), gray) are their building blocks. Double converters work on
// samples normalised to [0, 1], channels in the order of the type's name;
// the integer converters work on the samples of T themselves.
#include <cstdint>
#include <limits>

#include "vrx/framework/base/vrx_utility.h"

namespace vrx {

// T = uint8_t, uint16_t or double. convert reads exactly inputs() samples and
// writes exactly outputs().
template <class T>
class VRX_CsPointConverter : public VRX_Utility {
public:
    VRX_CsPointConverter(VRX_Manager* manager, uint16_t inputs, uint16_t outputs)
        : VRX_Utility(manager),
          max(std::numeric_limits<T>::max()),
          inputs_(inputs),
          outputs_(outputs) {}
    ~VRX_CsPointConverter() override = default;

    virtual void convert(const T* in, T* out) const = 0;

    uint16_t inputs() const { return inputs_; }
    uint16_t outputs() const { return outputs_; }

    // The largest sample: 255, 65535 or the largest finite double.
    T max;

private:
    uint16_t inputs_;
    uint16_t outputs_;
};

// The cube-root threshold and slope of the Lab functions, (6/29)^3 and
// 1 / (3 (6/29)^2), computed from 6/29 at start-up.
extern const double lab_epsilon;
extern const double lab_k;

// A converter of In inputs and Out outputs with a plain convert.
#define VRX_CS_CONVERTER(Name, In, Out, Sample)                                                 \
    template <class T>                                                                          \
    class Name : public VRX_CsPointConverter<Sample> {                                          \
    public:                                                                                     \
        static constexpr uint16_t kInputs = In;                                                 \
        static constexpr uint16_t kOutputs = Out;                                               \
        explicit Name(VRX_Manager* manager) : VRX_CsPointConverter<Sample>(manager, In, Out) {} \
        void convert(const Sample* in, Sample* out) const override;                             \
    };

// Integer converters on samples of T (uint8_t or uint16_t).
VRX_CS_CONVERTER(Gray2grayrevINT, 1, 1, T)  // max - in
VRX_CS_CONVERTER(Rgb2cmyINT, 3, 3, T)       // max - in, per channel
VRX_CS_CONVERTER(Rgb2cmykINT, 3, 4, T)      // complements less their minimum, the minimum as K
VRX_CS_CONVERTER(Cmyk2rgbINT, 4, 3, T)      // max - min(max, c + k), per channel

// Direct double converters.
VRX_CS_CONVERTER(Gray2rgbDEC, 1, 3, T)
VRX_CS_CONVERTER(Rgb2grayDEC, 3, 1, T)
VRX_CS_CONVERTER(Rgb2ycbcrDEC, 3, 3, T)
VRX_CS_CONVERTER(Ycbcr2srgbDEC, 3, 3, T)
VRX_CS_CONVERTER(Rgb2cmyDEC, 3, 3, T)  // 1 - x, also CMY to RGB
VRX_CS_CONVERTER(Rgb2cmykDEC, 3, 4, T)
VRX_CS_CONVERTER(Cmyk2rgbDEC, 4, 3, T)
VRX_CS_CONVERTER(Rgb2hslDEC, 3, 3, T)
VRX_CS_CONVERTER(Hsl2rgbDEC, 3, 3, T)  // the hue taken in whole degrees

// To and from XYZ.
VRX_CS_CONVERTER(Adobergb2xyz, 3, 3, T)
VRX_CS_CONVERTER(Lstar2xyz, 1, 3, T)
VRX_CS_CONVERTER(Cielab2xyz, 3, 3, T)  // L* 0 to 100, a* and b* unbounded

#undef VRX_CS_CONVERTER

// A converter with a pow exponent of its own.
#define VRX_CS_POWER_CONVERTER(Name, In, Out, Exponent)                        \
    template <class T>                                                         \
    class Name : public VRX_CsPointConverter<T> {                              \
    public:                                                                    \
        static constexpr uint16_t kInputs = In;                                \
        static constexpr uint16_t kOutputs = Out;                              \
        explicit Name(VRX_Manager* manager)                                    \
            : VRX_CsPointConverter<T>(manager, In, Out), exponent(Exponent) {} \
        void convert(const T* in, T* out) const override;                      \
        T exponent;                                                            \
    };

VRX_CS_POWER_CONVERTER(Xyz2adobergb, 3, 3, 1.0 / 2.2)
VRX_CS_POWER_CONVERTER(Xyz2lstar, 3, 1, 1.0 / 3.0)  // reads Y only
VRX_CS_POWER_CONVERTER(Xyz2cielab, 3, 3, 1.0 / 3.0)

#undef VRX_CS_POWER_CONVERTER

// sRGB to XYZ: linearised with the threshold 0.0392768, then the matrix.
template <class T>
class Srgb2xyz : public VRX_CsPointConverter<T> {
public:
    static constexpr uint16_t kInputs = 3;
    static constexpr uint16_t kOutputs = 3;
    explicit Srgb2xyz(VRX_Manager* manager);
    void convert(const T* in, T* out) const override;
    T matrix[9];
};

// XYZ to sRGB: the matrix, then the transfer curve with the threshold 0.00304.
template <class T>
class Xyz2srgb : public VRX_CsPointConverter<T> {
public:
    static constexpr uint16_t kInputs = 3;
    static constexpr uint16_t kOutputs = 3;
    explicit Xyz2srgb(VRX_Manager* manager);
    void convert(const T* in, T* out) const override;
    T matrix[9];
    T exponent;
};

// A converter of In samples of T to Out samples around one member converter.
template <class T, class Member, uint16_t In, uint16_t Out>
class VRX_CsPointAround : public VRX_CsPointConverter<T> {
public:
    static constexpr uint16_t kInputs = In;
    static constexpr uint16_t kOutputs = Out;
    explicit VRX_CsPointAround(VRX_Manager* manager)
        : VRX_CsPointConverter<T>(manager, In, Out), member(manager) {}
    Member member;
};

// Converters with their own steps around a member.
#define VRX_CS_AROUND(Name, Sample, Member, In, Out)                           \
    template <class T>                                                         \
    class Name : public VRX_CsPointAround<Sample, Member, In, Out> {           \
    public:                                                                    \
        using VRX_CsPointAround<Sample, Member, In, Out>::VRX_CsPointAround;   \
        void convert(const Sample* in, Sample* out) const override;            \
    };

// ICC Lab (L, a, b in [0, 1]; a* = 255 a - 128) through CIE Lab.
VRX_CS_AROUND(Icclab2xyz, T, Cielab2xyz<T>, 3, 3)
VRX_CS_AROUND(Xyz2icclab, T, Xyz2cielab<T>, 3, 3)

// ITU Lab codes of the sample type S (uint8_t or uint16_t) and CIE Lab:
// L* = 100 L, a* = 170 (a - 0.5 s), b* = 200 (b - 0.375 s), s = 2^n / (2^n - 1).
template <class T, class S>
class Itulab2cielabDEC : public VRX_CsPointConverter<T> {
public:
    static constexpr uint16_t kInputs = 3;
    static constexpr uint16_t kOutputs = 3;
    explicit Itulab2cielabDEC(VRX_Manager* manager);
    void convert(const T* in, T* out) const override;
    T offsets[3];
};

template <class T, class S>
class Cielab2itulabDEC : public VRX_CsPointConverter<T> {
public:
    static constexpr uint16_t kInputs = 3;
    static constexpr uint16_t kOutputs = 3;
    explicit Cielab2itulabDEC(VRX_Manager* manager);
    void convert(const T* in, T* out) const override;
    T offsets[3];
};

// Two converters one after the other through a pixel of First's outputs.
template <class First, class Second>
class VRX_CsPointChain : public VRX_CsPointConverter<double> {
public:
    static constexpr uint16_t kInputs = First::kInputs;
    static constexpr uint16_t kOutputs = Second::kOutputs;
    explicit VRX_CsPointChain(VRX_Manager* manager)
        : VRX_CsPointConverter<double>(manager, kInputs, kOutputs),
          first(manager),
          second(manager) {}
    void convert(const double* in, double* out) const override {
        double middle[First::kOutputs];
        first.convert(in, middle);
        second.convert(middle, out);
    }
    First first;
    Second second;
};

#define VRX_CS_CHAIN(Name, First, Second)                              \
    template <class T>                                                 \
    class Name : public VRX_CsPointChain<First<T>, Second<T>> {        \
    public:                                                            \
        using VRX_CsPointChain<First<T>, Second<T>>::VRX_CsPointChain; \
    };

VRX_CS_CHAIN(Gray2xyz, Gray2rgbDEC, Srgb2xyz)
VRX_CS_CHAIN(Ycbcr2xyz, Ycbcr2srgbDEC, Srgb2xyz)
VRX_CS_CHAIN(Hsl2xyz, Hsl2rgbDEC, Srgb2xyz)
VRX_CS_CHAIN(Cmy2xyz, Rgb2cmyDEC, Srgb2xyz)
VRX_CS_CHAIN(Cmyk2xyz, Cmyk2rgbDEC, Srgb2xyz)
VRX_CS_CHAIN(Xyz2gray, Xyz2srgb, Rgb2grayDEC)
VRX_CS_CHAIN(Xyz2ycbcr, Xyz2srgb, Rgb2ycbcrDEC)
VRX_CS_CHAIN(Xyz2hsl, Xyz2srgb, Rgb2hslDEC)
VRX_CS_CHAIN(Xyz2cmy, Xyz2srgb, Rgb2cmyDEC)
VRX_CS_CHAIN(Xyz2cmyk, Xyz2srgb, Rgb2cmykDEC)

#undef VRX_CS_CHAIN

template <class S>
class Itulab2xyz : public VRX_CsPointChain<Itulab2cielabDEC<double, S>, Cielab2xyz<double>> {
public:
    using VRX_CsPointChain<Itulab2cielabDEC<double, S>, Cielab2xyz<double>>::VRX_CsPointChain;
};
template <class S>
class Xyz2itulab : public VRX_CsPointChain<Xyz2cielab<double>, Cielab2itulabDEC<double, S>> {
public:
    using VRX_CsPointChain<Xyz2cielab<double>, Cielab2itulabDEC<double, S>>::VRX_CsPointChain;
};

// Reversed gray: 1 - gray around the gray converters.
VRX_CS_AROUND(Grayrev2xyz, T, Gray2xyz<T>, 1, 3)
VRX_CS_AROUND(Xyz2grayrev, T, Xyz2gray<T>, 3, 1)

#undef VRX_CS_AROUND

// Integer samples of S through a double RGB/HSL converter D: each sample
// divided by max, converted, and each result r back as max x r clamped to
// [0, max] and rounded half up.
template <class S, class D, class Member>
class VRX_CsIntegerAdapter : public VRX_CsPointAround<S, Member, 3, 3> {
public:
    using VRX_CsPointAround<S, Member, 3, 3>::VRX_CsPointAround;
    void convert(const S* in, S* out) const override;
};

template <class S, class D>
class Rgb2hslINT : public VRX_CsIntegerAdapter<S, D, Rgb2hslDEC<D>> {
public:
    using VRX_CsIntegerAdapter<S, D, Rgb2hslDEC<D>>::VRX_CsIntegerAdapter;
};
template <class S, class D>
class Hsl2rgbINT : public VRX_CsIntegerAdapter<S, D, Hsl2rgbDEC<D>> {
public:
    using VRX_CsIntegerAdapter<S, D, Hsl2rgbDEC<D>>::VRX_CsIntegerAdapter;
};

}  // namespace vrx
