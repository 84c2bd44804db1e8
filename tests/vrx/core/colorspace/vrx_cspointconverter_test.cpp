// The point converters on the values their formulas pin down: white points,
// black and primaries, the integer CMYK converters, and the round trips
// of the factory's converters through XYZ.
#include "vrx/core/colorspace/vrx_cspointconverter.h"

#include <gtest/gtest.h>

#include <vector>

#include "vrx/core/colorspace/vrx_cspointconverterfactory.h"
#include "vrx/framework/base/vrx_colortype.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

namespace {

using namespace vrx;

template <class Converter, class T = double>
std::vector<T> run(std::vector<T> in) {
    VRX_DefaultManager manager;
    Converter converter(&manager);
    std::vector<T> out(converter.outputs());
    converter.convert(in.data(), out.data());
    return out;
}

void expect_near(const std::vector<double>& got, const std::vector<double>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-9) << i;
}

TEST(CsPointConverter, PinnedValues) {
    using V = std::vector<double>;
    using U8 = std::vector<uint8_t>;
    EXPECT_EQ(run<Rgb2cmykINT<uint8_t>>(U8{0, 0, 0}), (U8{0, 0, 0, 255}));
    EXPECT_EQ(run<Rgb2cmykINT<uint8_t>>(U8{255, 0, 0}), (U8{0, 255, 255, 0}));
    EXPECT_EQ(run<Rgb2cmykINT<uint8_t>>(U8{10, 20, 30}), (U8{20, 10, 0, 225}));
    EXPECT_EQ(run<Cmyk2rgbINT<uint8_t>>(U8{200, 0, 0, 100}), (U8{0, 155, 155}));
    EXPECT_EQ(run<Gray2grayrevINT<uint8_t>>(U8{3}), (U8{252}));
    EXPECT_EQ(run<Rgb2cmyINT<uint8_t>>(U8{0, 1, 255}), (U8{255, 254, 0}));
    expect_near(run<Rgb2cmykDEC<double>>(V{0.5, 0.5, 0.5}), V{0, 0, 0, 0.5});
    expect_near(run<Rgb2hslDEC<double>>(V{1, 0, 0}), V{0, 1, 0.5});
    expect_near(run<Rgb2hslDEC<double>>(V{0, 0, 1}), V{240.0 / 360, 1, 0.5});
    expect_near(run<Rgb2hslDEC<double>>(V{0.3, 0.3, 0.3}), V{0, 0, 0.3});
    expect_near(run<Hsl2rgbDEC<double>>(V{0, 1, 0.5}), V{1, 0, 0});
    expect_near(run<Hsl2rgbDEC<double>>(V{0.9999, 1, 0.5}), V{1, 0, 0});  // 360 degrees wraps
    expect_near(run<Srgb2xyz<double>>(V{1, 1, 1}), V{0.9643, 1.0, 0.8251});
    expect_near(run<Icclab2xyz<double>>(V{1, 128.0 / 255, 128.0 / 255}), V{0.9643, 1.0, 0.8251});
    expect_near(run<Xyz2lstar<double>>(V{0, 1, 0}), V{1.0});
    expect_near(run<Xyz2lstar<double>>(V{0, 0, 0}), V{0.0});
    expect_near(run<Ycbcr2srgbDEC<double>>(V{1, 0, 0.5}), V{1, 1, 1 - 0.886});
    EXPECT_NEAR(lab_k, 7.787037037037036, 1e-15);
    EXPECT_NEAR(lab_epsilon, 0.008856451679035631, 1e-18);
    // The 8-bit adapters: L of 127.5 rounds up; L just above one half
    // leaves 1 in green and blue.
    EXPECT_EQ((run<Rgb2hslINT<uint8_t, double>, uint8_t>(U8{255, 0, 0})), (U8{0, 255, 128}));
    EXPECT_EQ((run<Hsl2rgbINT<uint8_t, double>, uint8_t>(U8{0, 255, 128})), (U8{255, 1, 1}));
}

// Every colour type to XYZ and back comes home, within the gamut the
// type's clamps leave alone.
TEST(CsPointConverter, RoundTripsThroughXyz) {
    VRX_DefaultManager manager;
    const VRX_CsPointConverterFactory<uint16_t> factory(&manager);
    using C = VRX_ColorType;
    struct Case {
        const C* type;
        std::vector<double> pixel;
    } cases[] = {
        {C::gray(), {0.4}},
        {C::gray_reverse(), {0.7}},
        {C::lstar(), {0.55}},
        {C::s_rgb(), {0.2, 0.5, 0.9}},
        {C::adobe_rgb(), {0.3, 0.6, 0.1}},
        {C::ycbcr(), {0.5, 0.45, 0.55}},
        {C::hsl(), {200.0 / 360, 0.5, 0.4}},
        {C::icc_lab(), {0.5, 0.55, 0.45}},
        {C::itu_lab(), {0.6, 0.5, 0.4}},
        {C::cmy(), {0.1, 0.4, 0.7}},
        {C::cmyk(), {0.0, 0.3, 0.6, 0.2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type->name());
        VRX_CsPointConverter<double>* to = factory.to_xyz(c.type);
        VRX_CsPointConverter<double>* from = factory.from_xyz(c.type);
        ASSERT_TRUE(to && from);
        EXPECT_EQ(to->inputs(), c.type->channels());
        EXPECT_EQ(from->outputs(), c.type->channels());
        double xyz[3], back[4];
        to->convert(c.pixel.data(), xyz);
        from->convert(xyz, back);
        for (size_t i = 0; i < c.pixel.size(); ++i) EXPECT_NEAR(back[i], c.pixel[i], 2e-3) << i;
        to->destroy();
        from->destroy();
    }
    EXPECT_EQ(factory.to_xyz(C::xyz()), nullptr);
    EXPECT_EQ(factory.from_xyz(C::none()), nullptr);
}

}  // namespace
