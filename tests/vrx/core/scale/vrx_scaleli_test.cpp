#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <typeinfo>
#include <vector>

#include "tests/vrx/core/operation/pixel_chain.h"
#include "tests/vrx/core/qmrle/qmrle_support.h"
#include "tests/vrx/core/scale/scale_model.h"
#include "vrx/core/scale/vrx_scaleheightireengine.h"
#include "vrx/core/scale/vrx_scaleheightliengine.h"
#include "vrx/core/scale/vrx_scalelifastby.h"
#include "vrx/core/scale/vrx_scaleshrinkliby.h"
#include "vrx/core/scale/vrx_scaleshrinkliengine.h"
#include "vrx/core/scale/vrx_scalessengine.h"
#include "vrx/core/scale/vrx_scalewidthliby.h"
#include "vrx/core/scale/vrx_scalewidthliengine.h"

namespace {

using namespace vrx;
using namespace vrx_pixel_test;
using Q12 = VRX_FixedReal12;

template <class T>
std::vector<uint8_t> random_samples(std::mt19937& random, size_t n, bool constant) {
    std::uniform_int_distribution<int> any(std::numeric_limits<T>::min(),
                                           std::numeric_limits<T>::max());
    std::vector<T> s(n);
    const T value = static_cast<T>(any(random));
    for (T& v : s) v = constant ? value : static_cast<T>(any(random));
    return to_bytes(s);
}

// Scales a random (or constant) image through the render chain's front end
// and holds the result to the model.
template <class T>
void check_li(uint32_t w0, uint32_t h0, uint16_t ch, uint32_t w, uint32_t h, std::mt19937& random,
              bool constant = false) {
    SCOPED_TRACE(testing::Message() << w0 << "x" << h0 << " -> " << w << "x" << h << ", "
                                    << sizeof(T) * 8 << (std::is_signed_v<T> ? " signed" : "")
                                    << " bits x " << ch << (constant ? " constant" : ""));
    const Format f = format_of<T>(w0, h0, ch);
    const std::vector<uint8_t> in = random_samples<T>(random, size_t{w0} * h0 * ch, constant);
    const scale_model::Image expected =
        scale_model::scale_li(scale_model::image_of<T>(in, w0, h0, ch), w, h, !std::is_signed_v<T>);
    VRX_DefaultManager m;
    std::vector<uint8_t> out;
    ASSERT_TRUE(take_lines(VRX_ScaleLIFastBy<Q12>(&m).engine(read_memory(m, f, in), w, h), out));
    EXPECT_EQ(out, scale_model::bytes_of<T>(expected));
    if (constant) {
        const int64_t value = scale_model::image_of<T>(in, 1, 1, 1).s[0];
        EXPECT_EQ(scale_model::image_of<T>(out, w, h, ch).s,
                  std::vector<int64_t>(size_t{w} * h * ch, value));
    }
    EXPECT_NO_ERROR(m);
}

struct Size {
    uint32_t w0, h0, w, h;
};

// Enlargements, odd and even whole reductions, fractional ones, one axis
// growing while the other shrinks, single lines and columns.
const Size kSizes[] = {
    {5, 4, 13, 9},  {2, 2, 4, 4},    {5, 5, 10, 10}, {7, 3, 16, 5},  {13, 11, 5, 4},
    {9, 15, 3, 5},  {8, 12, 4, 6},   {16, 16, 4, 4}, {17, 9, 2, 2},  {6, 10, 11, 4},
    {12, 5, 5, 11}, {7, 7, 7, 13},   {9, 1, 14, 4},  {1, 6, 4, 9},   {3, 3, 2, 2},
    {10, 9, 5, 3},  {11, 10, 7, 10}, {4, 8, 4, 3},   {30, 20, 9, 7}, {5, 4, 2, 2},
};

TEST(ScaleLI, EveryEngineAgainstTheModel) {
    std::mt19937 random(20);
    for (uint16_t ch : {1, 3, 4, 5})
        for (const Size& s : kSizes)
            for (bool constant : {false, true}) {
                check_li<uint8_t>(s.w0, s.h0, ch, s.w, s.h, random, constant);
                check_li<uint16_t>(s.w0, s.h0, ch, s.w, s.h, random, constant);
                check_li<int8_t>(s.w0, s.h0, ch, s.w, s.h, random, constant);
                check_li<int16_t>(s.w0, s.h0, ch, s.w, s.h, random, constant);
                if (testing::Test::HasFailure()) return;
            }
    // Random sizes up to 40 on both axes.
    for (int k = 0; k < 150 && !testing::Test::HasFailure(); ++k) {
        const uint32_t w0 = 1 + random() % 40, h0 = 1 + random() % 40;
        const uint32_t w = 1 + random() % 40, h = 1 + random() % 40;
        const uint16_t ch = static_cast<uint16_t>(1 + random() % 5);
        if (k % 2)
            check_li<uint8_t>(w0, h0, ch, w, h, random);
        else
            check_li<int16_t>(w0, h0, ch, w, h, random);
    }
}

// A 3-channel line of 200,000 pixels passes the packed entry's limit and
// keeps its offsets apart.
TEST(ScaleLI, LongLines) {
    std::mt19937 random(21);
    for (uint32_t w : {300007u, 70001u}) {
        check_li<uint8_t>(200000, 1, 3, w, 1, random);
        check_li<int16_t>(200000, 2, 3, w, 3, random);
    }
    // A column ratio of 2.00012 counts as 2 to 1/4096 (the 2 x 2 mean of
    // columns 2i and 2i + 1); 1.99988 does not.
    check_li<uint8_t>(16385, 4, 1, 8192, 2, random);
    check_li<int16_t>(16383, 4, 3, 8192, 2, random);
}

// Values worked out by hand (they also check the model).
TEST(ScaleLI, WorkedValues) {
    struct Case {
        const char* name;
        bool is_signed;
        uint32_t w0, h0;
        std::vector<int> in;
        uint32_t w, h;
        std::vector<int> out;
    };
    const Case table[] = {
        {"edges mix with their copies", false, 2, 1, {0, 100}, 4, 1, {0, 25, 75, 100}},
        {"signed edges", true, 2, 1, {-100, 0}, 4, 1, {-100, -75, -25, 0}},
        {"a half rounds up", false, 2, 1, {1, 0}, 3, 1, {1, 1, 0}},
        {"a signed half rounds away from zero", true, 2, 1, {-1, 0}, 3, 1, {-1, -1, 0}},
        {"three to two", false, 3, 1, {0, 100, 200}, 2, 1, {25, 175}},
        {"two lines to four", false, 1, 2, {0, 100}, 1, 4, {0, 25, 75, 100}},
        {"2 x 2 means",
         false,
         4,
         4,
         {1, 2, 9, 9, 3, 4, 9, 9, 0, 0, 0, 0, 0, 0, 0, 1},
         2,
         2,
         {3, 9, 0, 0}},
        {"signed 2 x 2 means", true, 4, 2, {-1, -2, -1, 0, -3, -4, 0, 0}, 2, 1, {-3, 0}},
        // Weights 9/16, 3/16, 3/16, 1/16 of samples 160, 0, 0, 0.
        {"ratio 1.5", false, 3, 3, {160, 0, 0, 0, 0, 0, 0, 0, 0}, 2, 2, {90, 0, 0, 0}},
        {"ratio 3 picks centres",
         false,
         6,
         3,
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17},
         2,
         1,
         {7, 10}},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> in;
        for (int v : c.in) in.push_back(static_cast<uint8_t>(v));
        std::vector<uint8_t> want;
        for (int v : c.out) want.push_back(static_cast<uint8_t>(v));
        const Format f =
            c.is_signed ? format_of<int8_t>(c.w0, c.h0) : format_of<uint8_t>(c.w0, c.h0);
        VRX_DefaultManager m;
        std::vector<uint8_t> out;
        ASSERT_TRUE(
            take_lines(VRX_ScaleLIFastBy<Q12>(&m).engine(read_memory(m, f, in), c.w, c.h), out));
        EXPECT_EQ(out, want);
        const auto model =
            c.is_signed ? scale_model::bytes_of<int8_t>(scale_model::scale_li(
                              scale_model::image_of<int8_t>(in, c.w0, c.h0, 1), c.w, c.h, false))
                        : scale_model::bytes_of<uint8_t>(scale_model::scale_li(
                              scale_model::image_of<uint8_t>(in, c.w0, c.h0, 1), c.w, c.h, true));
        EXPECT_EQ(model, want);
    }
}

// The engine the front end puts last, which also shows the order of the
// stages (the shrinking axis first, width first when neither shrinks).
TEST(ScaleLI, EnginesTheChoiceBuilds) {
    struct Choice {
        uint32_t w0, h0, w, h;
        uint16_t bits;
        const std::type_info& last;
    };
    const Choice table[] = {
        {300, 300, 100, 100, 8, typeid(VRX_ScaleSSEngine<unsigned char>)},
        {300, 300, 100, 100, 16, typeid(VRX_ScaleSSEngine<unsigned short>)},
        {400, 400, 100, 100, 8, typeid(VRX_ScaleShrinkLIEngine<unsigned char, Q12>)},
        {299, 300, 100, 100, 16, typeid(VRX_ScaleShrinkLIEngine<unsigned short, Q12>)},
        {512, 512, 1024, 256, 8, typeid(VRX_ScaleWidthLIEngine<unsigned char, Q12>)},
        {512, 512, 256, 1024, 8, typeid(VRX_ScaleHeightLIEngine<unsigned char, Q12>)},
        {512, 512, 1024, 1024, 16, typeid(VRX_ScaleHeightLIEngine<unsigned short, Q12>)},
        {512, 512, 1024, 512, 16, typeid(VRX_ScaleWidthLIEngine<unsigned short, Q12>)},
        {50, 1, 100, 3, 8, typeid(VRX_ScaleHeightIREEngine)},
    };
    for (const Choice& c : table) {
        SCOPED_TRACE(testing::Message() << c.w0 << "x" << c.h0 << " -> " << c.w << "x" << c.h);
        const Format f = image_format(c.w0, c.h0, c.bits);
        VRX_DefaultManager m;
        const std::vector<uint8_t> bytes(line_bytes(f) * f.height);
        VRX_Engine* last = VRX_ScaleLIFastBy<Q12>(&m).engine(read_memory(m, f, bytes), c.w, c.h);
        ASSERT_NE(last, nullptr);
        EXPECT_EQ(typeid(*last), c.last) << typeid(*last).name();
    }
    VRX_DefaultManager m;
    const std::vector<uint8_t> bytes(100);
    VRX_Engine* source = read_memory(m, format_of<uint8_t>(10, 10), bytes);
    EXPECT_EQ(VRX_ScaleLIFastBy<Q12>(&m).engine(source, 10, 10), source);
    EXPECT_EQ(VRX_ScaleShrinkLIBy<Q12>(&m).engine(source, 10, 10), source);
}

// Refusals by code and text; the first error stays recorded when the second
// stage meets the first one's null.
TEST(ScaleLI, Refusals) {
    const VRX_DataType* u = VRX_DataType::u_integer();
    const VRX_DataType* s = VRX_DataType::s_integer();
    const VRX_DataType* fl = VRX_DataType::floating();
    const std::vector<SizeRefusal> table = {
        {"32-bit both shrink", image_format(300, 300, 32, 1, u), 100, 100, VRX_ERROR_UNSUPPORTED,
         "VRX_ScaleShrinkLIBy::engine()"},
        {"signed 32-bit both shrink", image_format(300, 300, 32, 1, s), 100, 100,
         VRX_ERROR_UNSUPPORTED, "VRX_ScaleShrinkLIBy::engine()"},
        {"float width first", image_format(10, 10, 32, 1, fl), 20, 20, VRX_ERROR_UNSUPPORTED,
         "VRX_ScaleWidthLIBy::engine()"},
        {"float height first", image_format(10, 10, 64, 1, fl), 20, 5, VRX_ERROR_UNSUPPORTED,
         "VRX_ScaleHeightLIBy::engine()"},
        {"1 bit", image_format(10, 10, 1, 1, u), 20, 20, VRX_ERROR_UNSUPPORTED,
         "VRX_ScaleWidthLIBy::engine()"},
        {"width 0", image_format(10, 10, 8, 1, u), 0, 5, VRX_ERROR_ARGUMENT,
         "VRX_ScaleShrinkLIEngine::initiate()"},
        {"both 0", image_format(10, 10, 16, 1, u), 0, 0, VRX_ERROR_ARGUMENT,
         "VRX_ScaleShrinkLIEngine::initiate()"},
        {"height 0", image_format(10, 10, 8, 1, u), 20, 0, VRX_ERROR_ARGUMENT,
         "VRX_ScaleHeightEngine::initiate()"},
        {"width 0, height kept", image_format(10, 10, 8, 1, u), 0, 10, VRX_ERROR_ARGUMENT,
         "VRX_ScaleWidthEngine::initiate()"},
    };
    expect_refusals(size_refusals<VRX_ScaleLIFastBy<Q12>>(table, "VRX_ScaleLIFastBy::engine()"));

    // The shrinking engine takes only targets smaller on both axes.
    const std::vector<uint8_t> bytes(100);
    VRX_DefaultManager g;
    EXPECT_EQ(VRX_ScaleShrinkLIBy<Q12>(&g).engine(read_memory(g, format_of<uint8_t>(10, 10), bytes),
                                                  5, 10),
              nullptr);
    EXPECT_STATUS(g, VRX_ERROR_ARGUMENT, "VRX_ScaleShrinkLIEngine::initiate()");

    // A palette image is refused by the engine.
    VRX_DefaultManager p;
    VRX_Header header(&p);
    describe(header, format_of<uint8_t>(10, 10));
    header.color_type(VRX_ColorType::s_rgb());
    header.palette().bits = 8;
    header.palette().channels = 3;
    header.palette().entries = 256;
    const std::vector<uint8_t> entries(768);
    ASSERT_TRUE(header.palette().value(entries.data(), 768));
    EXPECT_EQ(VRX_ScaleWidthLIBy<Q12>(&p).engine(read_memory(p, header, bytes), 15), nullptr);
    EXPECT_STATUS(p, VRX_ERROR_UNSUPPORTED, "VRX_ScaleWidthLIEngine::initiate()");
}

// From 3,145,729 to 3,145,728 columns the last position accumulates past the
// next to last column: the last pair is taken with full weight on its second
// sample, and nothing past the line is read.
TEST(ScaleLI, PositionsPastTheLastPair) {
    const uint32_t w0 = 3145729;
    std::mt19937 random(22);
    const std::vector<uint8_t> in = random_samples<uint8_t>(random, size_t{w0} * 2, false);
    VRX_DefaultManager m;
    std::vector<uint8_t> out;
    ASSERT_TRUE(take_lines(
        VRX_ScaleLIFastBy<Q12>(&m).engine(read_memory(m, format_of<uint8_t>(w0, 2), in), w0 - 1, 1),
        out));
    const scale_model::Image expected =
        scale_model::shrink_li(scale_model::image_of<uint8_t>(in, w0, 2, 1), w0 - 1, 1, true);
    EXPECT_EQ(out, scale_model::bytes_of<uint8_t>(expected));
    EXPECT_EQ(out.back(), (in[w0 - 1] + in[2 * size_t{w0} - 1] + 1) / 2);
}

}  // namespace
