#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "tests/vrx/core/operation/pixel_chain.h"
#include "vrx/core/operation/vrx_oppixels1.h"
#include "vrx/core/operation/vrx_oppixels8xnbits.h"

namespace {

using namespace vrx;
using namespace vrx_pixel_test;
using P = VRX_PixelOperator;

// The result of one sample, written out operator by operator.
template <class Op, class T>
T reference(T a, T b) {
    if constexpr (P::is<Op, P::Overwrite>) {
        return b;
    } else if constexpr (P::is<Op, P::And>) {
        return static_cast<T>(a & b);
    } else if constexpr (P::is<Op, P::MultiplyWithNormalization>) {
        return static_cast<T>(static_cast<unsigned __int128>(a) * b / 4294967295u);
    } else if constexpr (std::is_floating_point_v<T>) {
        const double x = a, y = b;
        const double r = P::is<Op, P::Add> ? x + y : P::is<Op, P::Sub> ? x - y : x * y;
        if constexpr (std::is_same_v<T, float>) {
            if (std::isnan(r)) return static_cast<float>(r);
            return static_cast<float>(std::fmin(std::fmax(r, -double{FLT_MAX}), double{FLT_MAX}));
        } else {
            if (std::isfinite(r)) return r;
            bool up = false;
            if (P::is<Op, P::Add>) up = x > 0 && y > 0;
            if (P::is<Op, P::Sub>) up = x > 0 && y < 0;
            if (P::is<Op, P::Multiply>) up = (x > 0 && y > 0) || (x < 0 && y < 0);
            return up ? DBL_MAX : -DBL_MAX;
        }
    } else {
        const __int128 x = a, y = b;
        const __int128 r = P::is<Op, P::Add> ? x + y : P::is<Op, P::Sub> ? x - y : x * y;
        const __int128 low = std::numeric_limits<T>::min(), high = std::numeric_limits<T>::max();
        return static_cast<T>(r < low ? low : r > high ? high : r);
    }
}

template <class T>
T random_sample(std::mt19937& random) {
    if constexpr (std::is_floating_point_v<T>) {
        // Mostly ordinary values, sometimes huge ones that overflow.
        const double scale = random() % 4 == 0 ? 1e37 : 1e3;
        if constexpr (std::is_same_v<T, double>) {
            if (random() % 4 == 0) return std::uniform_real_distribution<double>(-1e300, 1e300)(random);
        }
        return static_cast<T>(std::uniform_real_distribution<double>(-scale, scale)(random));
    } else {
        return static_cast<T>(random());
    }
}

struct Geometry {
    uint32_t w0, h0, w1, h1;
    uint16_t channels;
    uint32_t x, y;
};

bool same(float a, float b) { return a == b || (std::isnan(a) && std::isnan(b)); }
bool same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }
template <class T>
bool same(T a, T b) {
    return a == b;
}

// Runs the operator over random images of the geometry and compares every
// output sample with the reference.
template <class Op, class T>
void check(const Geometry& g, uint32_t seed) {
    SCOPED_TRACE(testing::Message() << "base " << g.w0 << "x" << g.h0 << ", operand " << g.w1
                                    << "x" << g.h1 << " at " << g.x << "," << g.y << ", "
                                    << g.channels << " channels");
    std::mt19937 random(seed);
    std::vector<T> base(size_t{g.w0} * g.h0 * g.channels);
    std::vector<T> operand(size_t{g.w1} * g.h1 * g.channels);
    for (T& s : base) s = random_sample<T>(random);
    for (T& s : operand) s = random_sample<T>(random);
    const std::vector<uint8_t> base_bytes = to_bytes(base), operand_bytes = to_bytes(operand);

    VRX_DefaultManager manager;
    VRX_Vector<VRX_Engine*> sources(&manager);
    sources.push_back(read_memory(manager, format_of<T>(g.w0, g.h0, g.channels), base_bytes));
    sources.push_back(read_memory(manager, format_of<T>(g.w1, g.h1, g.channels), operand_bytes));
    VRX_Engine* engine = VRX_OpPixels8xNBitsUnMasked<Op, T>(&manager).engine(sources, g.x, g.y);
    ASSERT_NE(engine, nullptr);
    std::vector<uint8_t> out;
    ASSERT_TRUE(write_memory(manager, engine, out));
    EXPECT_NO_ERROR(manager);
    const std::vector<T> result = from_bytes<T>(out);
    ASSERT_EQ(result.size(), base.size());
    const size_t c = g.channels;
    for (uint32_t row = 0; row < g.h0; ++row) {
        for (uint32_t col = 0; col < g.w0; ++col) {
            const bool inside = col >= g.x && col - g.x < g.w1 && row >= g.y && row - g.y < g.h1;
            for (size_t k = 0; k < c; ++k) {
                const size_t at = (size_t{row} * g.w0 + col) * c + k;
                const T want =
                    inside ? reference<Op, T>(
                                 base[at],
                                 operand[(size_t{row - g.y} * g.w1 + (col - g.x)) * c + k])
                           : base[at];
                ASSERT_TRUE(same(result[at], want))
                    << "row " << row << " column " << col << " channel " << k << ": "
                    << +result[at] << " instead of " << +want;
            }
        }
    }
    EXPECT_TRUE(manager.execute());
}

const Geometry kGeometries[] = {
    {4, 2, 2, 1, 1, 1, 1},   {9, 7, 9, 7, 1, 0, 0},   {9, 7, 4, 3, 3, 6, 5},
    {9, 7, 20, 20, 3, 2, 1}, {9, 7, 3, 2, 1, 9, 0},   {9, 7, 3, 2, 1, 0, 7},
    {5, 3, 2, 2, 3, 8, 1},   {16, 4, 16, 4, 1, 0, 0},
};

template <class Op, class T>
void check_all(uint32_t seed) {
    for (const Geometry& g : kGeometries) check<Op, T>(g, seed++);
}

template <class Op>
void check_signed_family() {
    check_all<Op, int8_t>(1);
    check_all<Op, int16_t>(2);
    check_all<Op, int32_t>(3);
    check_all<Op, uint32_t>(4);
    check_all<Op, float>(5);
    check_all<Op, double>(6);
}

TEST(OpPixels, AddAgainstTheReference) { check_signed_family<P::Add>(); }
TEST(OpPixels, SubAgainstTheReference) { check_signed_family<P::Sub>(); }
TEST(OpPixels, MultiplyAgainstTheReference) { check_signed_family<P::Multiply>(); }
TEST(OpPixels, OverwriteAgainstTheReference) { check_signed_family<P::Overwrite>(); }
TEST(OpPixels, MultiplyWithNormalizationAgainstTheReference) {
    check_all<P::MultiplyWithNormalization, uint32_t>(7);
}
TEST(OpPixels, AndAgainstTheReference) {
    check_all<P::And, uint8_t>(8);
    check_all<P::And, uint16_t>(9);
}

// Every column offset inside and just outside the base, every row offset.
TEST(OpPixels, EveryOffset) {
    for (uint32_t x = 0; x <= 12; ++x)
        for (uint32_t y = 0; y <= 5; ++y) check<P::And, uint8_t>({11, 4, 5, 3, 1, x, y}, x * 7 + y);
}

// One operand sample against one base sample.
template <class Op, class T>
T single(T a, T b) {
    VRX_DefaultManager manager;
    const std::vector<uint8_t> base = to_bytes<T>({a}), operand = to_bytes<T>({b});
    VRX_Vector<VRX_Engine*> sources(&manager);
    sources.push_back(read_memory(manager, format_of<T>(1, 1, 1), base));
    sources.push_back(read_memory(manager, format_of<T>(1, 1, 1), operand));
    VRX_Engine* engine = VRX_OpPixels8xNBitsUnMasked<Op, T>(&manager).engine(sources, 0, 0);
    std::vector<uint8_t> out;
    EXPECT_TRUE(engine && write_memory(manager, engine, out));
    return out.size() == sizeof(T) ? from_bytes<T>(out)[0] : T{};
}

TEST(OpPixels, DocumentedValues) {
    EXPECT_EQ((single<P::Add, int8_t>(100, 100)), 127);
    EXPECT_EQ((single<P::Add, int8_t>(-100, -100)), -128);
    EXPECT_EQ((single<P::Add, int8_t>(20, 30)), 50);
    EXPECT_EQ((single<P::Sub, int16_t>(-30000, 10000)), -32768);
    EXPECT_EQ((single<P::Sub, uint32_t>(5, 7)), 0u);
    EXPECT_EQ((single<P::Sub, uint32_t>(7, 5)), 2u);
    EXPECT_EQ((single<P::Add, uint32_t>(4294967295u, 1)), 4294967295u);
    EXPECT_EQ((single<P::Multiply, int32_t>(65536, 65536)), 2147483647);
    EXPECT_EQ((single<P::Multiply, int32_t>(-65536, 65536)), -2147483647 - 1);
    EXPECT_EQ((single<P::MultiplyWithNormalization, uint32_t>(0x80000000u, 0x80000000u)),
              0x40000000u);
    EXPECT_EQ((single<P::MultiplyWithNormalization, uint32_t>(65536, 65536)), 1u);
    EXPECT_EQ((single<P::MultiplyWithNormalization, uint32_t>(2, 3)), 0u);
    EXPECT_EQ((single<P::MultiplyWithNormalization, uint32_t>(4294967295u, 4294967295u)),
              4294967295u);
    EXPECT_EQ((single<P::Add, float>(3e38f, 3e38f)), FLT_MAX);
    EXPECT_TRUE(std::isnan(single<P::Add, float>(1.0f, std::numeric_limits<float>::quiet_NaN())));
    EXPECT_EQ((single<P::Multiply, double>(1e200, 1e200)), DBL_MAX);
    EXPECT_EQ((single<P::Multiply, double>(-1e200, 1e200)), -DBL_MAX);
    EXPECT_EQ((single<P::Add, double>(1.0, std::numeric_limits<double>::quiet_NaN())), -DBL_MAX);
    EXPECT_EQ((single<P::Overwrite, int16_t>(5, -9)), -9);
}

// The operand lies at a negative offset: the two-image front end crops it
// to the part over the base and hands on the offsets clipped at 0. Here the
// crop is done in memory; the result must be that of the whole operand laid
// at the negative offset.
TEST(OpPixels, NegativeOffsetsThroughACroppedOperand) {
    const uint32_t w0 = 10, h0 = 6, w1 = 7, h1 = 5;
    std::mt19937 random(99);
    std::vector<uint8_t> base(w0 * h0), operand(w1 * h1);
    for (uint8_t& s : base) s = static_cast<uint8_t>(random());
    for (uint8_t& s : operand) s = static_cast<uint8_t>(random());
    for (int x = -6; x <= 3; ++x) {
        for (int y = -4; y <= 2; ++y) {
            SCOPED_TRACE(testing::Message() << "offset " << x << "," << y);
            const uint32_t cx = x < 0 ? -x : 0, cy = y < 0 ? -y : 0;
            const uint32_t ox = x > 0 ? x : 0, oy = y > 0 ? y : 0;
            const uint32_t cw = std::min(w1 - cx, w0 - ox), ch = std::min(h1 - cy, h0 - oy);
            std::vector<uint8_t> cropped;
            for (uint32_t r = 0; r < ch; ++r)
                for (uint32_t c = 0; c < cw; ++c)
                    cropped.push_back(operand[(cy + r) * w1 + cx + c]);
            VRX_DefaultManager manager;
            VRX_Vector<VRX_Engine*> sources(&manager);
            sources.push_back(read_memory(manager, format_of<uint8_t>(w0, h0, 1), base));
            sources.push_back(read_memory(manager, format_of<uint8_t>(cw, ch, 1), cropped));
            VRX_Engine* engine =
                VRX_OpPixels8xNBitsUnMasked<P::And, uint8_t>(&manager).engine(sources, ox, oy);
            std::vector<uint8_t> out;
            ASSERT_TRUE(engine && write_memory(manager, engine, out));
            for (uint32_t r = 0; r < h0; ++r) {
                for (uint32_t c = 0; c < w0; ++c) {
                    const int sr = int(r) - y, sc = int(c) - x;
                    const bool inside = sr >= 0 && sr < int(h1) && sc >= 0 && sc < int(w1);
                    const uint8_t want = inside ? base[r * w0 + c] & operand[sr * w1 + sc]
                                                : base[r * w0 + c];
                    ASSERT_EQ(out[r * w0 + c], want) << r << "," << c;
                }
            }
        }
    }
}

// Offsets whose products with the channel count wrap 32 bits must not reach
// into the base: nothing changes.
TEST(OpPixels, OffsetsNearTheTopOfTheirRange) {
    for (uint32_t x : {0xFFFFFFFFu, 0x55555556u, 0x80000000u}) {
        VRX_DefaultManager manager;
        std::vector<uint8_t> base(4 * 2 * 3, 0xFF), operand(2 * 2 * 3, 0);
        VRX_Vector<VRX_Engine*> sources(&manager);
        sources.push_back(read_memory(manager, format_of<uint8_t>(4, 2, 3), base));
        sources.push_back(read_memory(manager, format_of<uint8_t>(2, 2, 3), operand));
        VRX_Engine* engine =
            VRX_OpPixels8xNBitsUnMasked<P::And, uint8_t>(&manager).engine(sources, x, 0xFFFFFFFFu);
        std::vector<uint8_t> out;
        ASSERT_TRUE(engine && write_memory(manager, engine, out));
        EXPECT_EQ(out, base);
        EXPECT_NO_ERROR(manager);
    }
}

bool bit_at(const std::vector<uint8_t>& bytes, size_t at) {
    return (bytes[at >> 3] >> (7 - (at & 7))) & 1;
}

// The one-bit AND at every bit offset, against the bit-by-bit rule; the
// padding bits of the base's last byte stay as they were.
TEST(OpPixels, OneBitAndAtEveryBitOffset) {
    std::mt19937 random(5);
    for (uint32_t w0 : {1u, 7u, 8u, 9u, 15u, 16u, 17u, 23u, 24u, 25u, 33u}) {
        for (uint32_t w1 = 1; w1 <= 17; ++w1) {
            for (uint32_t x = 0; x < w0; ++x) {
                SCOPED_TRACE(testing::Message() << "base " << w0 << ", operand " << w1 << " at "
                                                << x);
                const uint32_t h0 = 3, h1 = 2, y = x % 3;
                Format fb = format_of<uint8_t>(w0, h0, 1), fo = format_of<uint8_t>(w1, h1, 1);
                fb.bits = fo.bits = 1;
                const size_t lb = line_bytes(fb), lo = line_bytes(fo);
                std::vector<uint8_t> base(lb * h0), operand(lo * h1);
                for (uint8_t& b : base) b = static_cast<uint8_t>(random());
                for (uint8_t& b : operand) b = static_cast<uint8_t>(random() | random());
                VRX_DefaultManager manager;
                VRX_Vector<VRX_Engine*> sources(&manager);
                sources.push_back(read_memory(manager, fb, base));
                sources.push_back(read_memory(manager, fo, operand));
                VRX_Engine* engine =
                    VRX_OpPixels1UnMasked<P::And>(&manager).engine(sources, x, y);
                std::vector<uint8_t> out;
                ASSERT_TRUE(engine && take_lines(engine, out));
                ASSERT_EQ(out.size(), base.size());
                for (uint32_t row = 0; row < h0; ++row) {
                    for (uint32_t bit = 0; bit < lb * 8; ++bit) {
                        bool want = bit_at(base, row * lb * 8 + bit);
                        if (bit < w0 && bit >= x && bit - x < w1 && row >= y && row - y < h1)
                            want = want && bit_at(operand, (row - y) * lo * 8 + (bit - x));
                        ASSERT_EQ(bit_at(out, row * lb * 8 + bit), want)
                            << "row " << row << " bit " << bit;
                    }
                }
            }
        }
    }
}

TEST(OpPixels, OneBitDocumentedRow) {
    VRX_DefaultManager manager;
    Format fb = format_of<uint8_t>(16, 1, 1), fo = format_of<uint8_t>(6, 1, 1);
    fb.bits = fo.bits = 1;
    const std::vector<uint8_t> base = {0xFF, 0xFF}, operand = {0x00};
    VRX_Vector<VRX_Engine*> sources(&manager);
    sources.push_back(read_memory(manager, fb, base));
    sources.push_back(read_memory(manager, fo, operand));
    VRX_Engine* engine = VRX_OpPixels1UnMasked<P::And>(&manager).engine(sources, 5, 0);
    std::vector<uint8_t> out;
    ASSERT_TRUE(engine && write_memory(manager, engine, out));
    EXPECT_EQ(out, (std::vector<uint8_t>{0xF8, 0x1F}));
}

TEST(OpPixels, OneBitOffsetAtOrBeyondTheBaseWidthIsRefused) {
    for (uint32_t x : {8u, 9u, 0xFFFFFFFFu}) {
        VRX_DefaultManager manager;
        Format f = format_of<uint8_t>(8, 1, 1);
        f.bits = 1;
        const std::vector<uint8_t> bytes = {0xFF};
        VRX_Vector<VRX_Engine*> sources(&manager);
        sources.push_back(read_memory(manager, f, bytes));
        sources.push_back(read_memory(manager, f, bytes));
        EXPECT_EQ(VRX_OpPixels1UnMasked<P::And>(&manager).engine(sources, x, 0), nullptr);
        EXPECT_STATUS(manager, 0x80800000, "VRX_OpPixels1Engine::initiate()");
        EXPECT_FALSE(manager.execute());
    }
}

// Two sources of the given formats through the creator of Op and T.
template <class Op, class T>
VRX_Engine* build(VRX_Manager& manager, const Format& base, const Format& operand,
                  const std::vector<uint8_t>& bytes) {
    VRX_Vector<VRX_Engine*> sources(&manager);
    sources.push_back(read_memory(manager, base, bytes));
    sources.push_back(read_memory(manager, operand, bytes));
    if constexpr (std::is_void_v<T>)
        return VRX_OpPixels1UnMasked<Op>(&manager).engine(sources, 0, 0);
    else
        return VRX_OpPixels8xNBitsUnMasked<Op, T>(&manager).engine(sources, 0, 0);
}

TEST(OpPixels, InputsThatDoNotSuitTheEngine) {
    const std::vector<uint8_t> bytes(256, 0);
    const Format u8 = format_of<uint8_t>(4, 2, 1);
    Format s8 = u8;
    s8.type = VRX_DataType::s_integer();
    Format other_color = u8;
    other_color.color = VRX_ColorType::gray_reverse();
    Format encoded = u8;
    encoded.encode = VRX_EncodeType::pack_bits();
    const Format u16 = format_of<uint16_t>(4, 2, 1);
    const Format rgb8 = format_of<uint8_t>(4, 2, 3);
    Format two_bit_channels = format_of<uint8_t>(4, 2, 2);
    two_bit_channels.bits = 1;
    two_bit_channels.color = VRX_ColorType::unknown();
    struct Case {
        const char* name;
        VRX_Engine* (*call)(VRX_Manager&, const Format&, const Format&,
                            const std::vector<uint8_t>&);
        Format base, operand;
        const char* function;
    };
    const char* pair = "VRX_OpPixelsEngine::initiate()";
    const char* family = "VRX_OpPixels8xNBitsEngine::initiate()";
    const Case cases[] = {
        {"data types differ", build<P::And, uint8_t>, u8, s8, pair},
        {"colour types differ", build<P::And, uint8_t>, u8, other_color, pair},
        {"depths differ", build<P::And, uint8_t>, u8, u16, pair},
        {"channels differ", build<P::And, uint8_t>, u8, rgb8, pair},
        {"encoded operand", build<P::And, uint8_t>, u8, encoded, pair},
        {"signed AND", build<P::And, uint8_t>, s8, s8, family},
        {"AND of the other width", build<P::And, uint8_t>, u16, u16, family},
        {"normalised product of 8 bits", build<P::MultiplyWithNormalization, uint32_t>, u8, u8,
         family},
        {"sum of the other width", build<P::Add, int16_t>, u8, u8, family},
        {"one-bit AND of two channels", build<P::And, void>, two_bit_channels, two_bit_channels,
         "VRX_OpPixels1Engine::initiate()"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VRX_DefaultManager manager;
        EXPECT_EQ(c.call(manager, c.base, c.operand, bytes), nullptr);
        EXPECT_STATUS(manager, 0x81000000, c.function);
        EXPECT_FALSE(manager.execute());
    }
}

TEST(OpPixels, WrongNumberOfSources) {
    for (size_t count : {0u, 1u, 3u}) {
        for (bool one_bit : {false, true}) {
            VRX_DefaultManager manager;
            Format f = format_of<uint8_t>(4, 1, 1);
            if (one_bit) f.bits = 1;
            const std::vector<uint8_t> bytes(4, 0);
            VRX_Vector<VRX_Engine*> sources(&manager);
            for (size_t i = 0; i < count; ++i) sources.push_back(read_memory(manager, f, bytes));
            if (one_bit) {
                EXPECT_EQ(VRX_OpPixels1UnMasked<P::And>(&manager).engine(sources, 0, 0), nullptr);
                EXPECT_STATUS(manager, 0x80800000, "VRX_OpPixels1::engine()");
            } else {
                EXPECT_EQ((VRX_OpPixels8xNBitsUnMasked<P::And, uint8_t>(&manager).engine(sources, 0, 0)),
                          nullptr);
                EXPECT_STATUS(manager, 0x80800000, "VRX_OpPixels8xNBits::engine()");
            }
        }
    }
    VRX_DefaultManager manager;
    VRX_Vector<VRX_Engine*> sources(&manager);
    sources.push_back(nullptr);
    sources.push_back(nullptr);
    EXPECT_EQ(VRX_OpPixels1UnMasked<P::And>(&manager).engine(sources, 0, 0), nullptr);
    EXPECT_STATUS(manager, 0x80800000, "VRX_OpPixels1::engine()");
}

}  // namespace
