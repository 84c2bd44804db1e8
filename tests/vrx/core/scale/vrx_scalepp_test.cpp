#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <typeinfo>
#include <vector>

#include "tests/platform/fake_cpuid.h"
#include "tests/vrx/core/operation/pixel_chain.h"
#include "tests/vrx/core/qmrle/qmrle_support.h"
#include "tests/vrx/core/scale/scale_model.h"
#include "vrx/core/scale/vrx_scaleheightiarengine.h"
#include "vrx/core/scale/vrx_scaleheightireengine.h"
#include "vrx/core/scale/vrx_scaleheightppeby.h"
#include "vrx/core/scale/vrx_scaleheightppeengine.h"
#include "vrx/core/scale/vrx_scaleheightppfastby.h"
#include "vrx/core/scale/vrx_scaleheightppfastrengine.h"
#include "vrx/core/scale/vrx_scaleheightpprengine.h"
#include "vrx/core/scale/vrx_scaleiar.h"
#include "vrx/core/scale/vrx_scaleppby.h"
#include "vrx/core/scale/vrx_scaleppfastby.h"
#include "vrx/core/scale/vrx_scalewidthiar.h"
#include "vrx/core/scale/vrx_scalewidthiarengine.h"
#include "vrx/core/scale/vrx_scalewidthire8xnbitsengine.h"
#include "vrx/core/scale/vrx_scalewidthppeby.h"
#include "vrx/core/scale/vrx_scalewidthppeengine.h"
#include "vrx/core/scale/vrx_scalewidthppfastby.h"
#include "vrx/core/scale/vrx_scalewidthppfastrby.h"
#include "vrx/core/scale/vrx_scalewidthppfastrengine.h"
#include "vrx/core/scale/vrx_scalewidthpprby.h"
#include "vrx/core/scale/vrx_scalewidthpprengine.h"

namespace {

using namespace vrx;
using namespace vrx_pixel_test;
using Q12 = VRX_FixedReal12;

// A processor with or without SSE2, for as long as the object lives.
struct Processor {
    explicit Processor(bool sse2) {
        cpu.Set(0, platform::CpuidLeaf{1, 0, 0, 0});
        cpu.Set(1, platform::CpuidLeaf{0, 0, 0, sse2 ? 1u << 26 : 0u});
    }
    platform::testing::FakeCpuid cpu;
};

// The front ends under test: the fast one with and without SSE2, the
// general one with either coefficient type, and the fast one-axis creators
// with the coefficient type the fast front end never pairs with the depth.
enum class Front { fast_sse2, fast_plain, general_double, general_q12, fast_axes_other };

using Build = std::function<VRX_Engine*(VRX_Manager&, VRX_Engine*, uint32_t, uint32_t)>;

template <class C>
VRX_Engine* fast_axes(VRX_Manager& m, VRX_Engine* e, uint32_t w, uint32_t h) {
    const bool height_first = h < e->header()->height;
    if (height_first) e = VRX_ScaleHeightPPFastBy<C>(&m).engine(e, h);
    e = VRX_ScaleWidthPPFastBy<C>(&m).engine(e, w);
    return height_first ? e : VRX_ScaleHeightPPFastBy<C>(&m).engine(e, h);
}

// Runs the front end; `q12` tells the weights it uses.
template <class T>
bool run_front(Front front, VRX_Manager& m, VRX_Engine* source, uint32_t w, uint32_t h, bool& q12,
               std::vector<uint8_t>& out) {
    VRX_Engine* last = nullptr;
    q12 = sizeof(T) == 1;
    switch (front) {
        case Front::fast_sse2:
        case Front::fast_plain: {
            Processor cpu(front == Front::fast_sse2);
            last = VRX_ScalePPFastBy<Q12>(&m).engine(source, w, h);
            break;
        }
        case Front::general_double:
            q12 = false;
            last = VRX_ScalePPBy<double>(&m).engine(source, w, h);
            break;
        case Front::general_q12:
            q12 = true;
            last = VRX_ScalePPBy<Q12>(&m).engine(source, w, h);
            break;
        case Front::fast_axes_other:
            q12 = sizeof(T) != 1;
            last = q12 ? fast_axes<Q12>(m, source, w, h) : fast_axes<double>(m, source, w, h);
            break;
    }
    return take_lines(last, out);
}

template <class T>
std::vector<uint8_t> samples(std::mt19937& random, size_t n, int constant = -1) {
    std::vector<T> s(n);
    for (T& v : s) v = static_cast<T>(constant >= 0 ? constant : random());
    return to_bytes(s);
}

template <class T>
void check_pp(Front front, uint32_t w0, uint32_t h0, uint16_t ch, uint32_t w, uint32_t h,
              std::mt19937& random, int constant = -1) {
    SCOPED_TRACE(testing::Message() << w0 << "x" << h0 << " -> " << w << "x" << h << ", "
                                    << sizeof(T) * 8 << " bits x " << ch << ", front end "
                                    << static_cast<int>(front) << ", constant " << constant);
    const std::vector<uint8_t> in = samples<T>(random, size_t{w0} * h0 * ch, constant);
    VRX_DefaultManager m;
    std::vector<uint8_t> out;
    bool q12 = false;
    ASSERT_TRUE(
        run_front<T>(front, m, read_memory(m, format_of<T>(w0, h0, ch), in), w, h, q12, out));
    const scale_model::Projection k{q12, std::numeric_limits<T>::max()};
    const scale_model::Image want =
        scale_model::scale_pp(k, scale_model::image_of<T>(in, w0, h0, ch), w, h);
    EXPECT_EQ(out, scale_model::bytes_of<T>(want));
    EXPECT_NO_ERROR(m);
    // Q12 weights and inverses are exact to 1/8192 of their value: with
    // 16-bit samples (a pairing the fast front end never makes) a constant
    // moves by up to 1/4096 of full scale, and full scale never wraps.
    const int64_t spread = q12 && sizeof(T) == 2 ? 16 : 0;
    if (constant < 0) return;
    for (int64_t v : scale_model::image_of<T>(out, w, h, ch).s)
        ASSERT_LE(std::abs(v - constant), spread) << v;
}

struct Size {
    uint32_t w0, h0, w, h;
};

// Enlargements (exact doubles among them), reductions by ratios that are not
// whole, whole reductions (powers of two and not), single lines and columns,
// one axis growing while the other shrinks.
const Size kSizes[] = {
    {5, 4, 13, 9},   {3, 3, 4, 4},    {6, 5, 12, 10}, {13, 11, 5, 4}, {10, 10, 4, 4},
    {5, 5, 2, 2},    {41, 23, 20, 7}, {12, 12, 4, 3}, {16, 8, 2, 4},  {11, 11, 2, 5},
    {1, 7, 5, 3},    {7, 1, 3, 5},    {6, 10, 11, 4}, {12, 5, 5, 11}, {9, 9, 9, 20},
    {30, 31, 7, 30}, {64, 3, 21, 3},  {7, 40, 7, 13},
};

TEST(ScalePP, EveryEngineAgainstTheModel) {
    std::mt19937 random(30);
    const Front fronts[] = {Front::fast_sse2, Front::fast_plain, Front::general_double,
                            Front::general_q12, Front::fast_axes_other};
    for (Front front : fronts)
        for (uint16_t ch : {1, 3, 4, 5})
            for (const Size& s : kSizes) {
                check_pp<uint8_t>(front, s.w0, s.h0, ch, s.w, s.h, random);
                check_pp<uint16_t>(front, s.w0, s.h0, ch, s.w, s.h, random);
                if (testing::Test::HasFailure()) return;
            }
    for (int k = 0; k < 150 && !testing::Test::HasFailure(); ++k) {
        const uint32_t w0 = 1 + random() % 50, h0 = 1 + random() % 50;
        const uint32_t w = 1 + random() % 50, h = 1 + random() % 50;
        const uint16_t ch = static_cast<uint16_t>(1 + random() % 5);
        if (k % 2)
            check_pp<uint8_t>(fronts[k % 5], w0, h0, ch, w, h, random);
        else
            check_pp<uint16_t>(fronts[k % 5], w0, h0, ch, w, h, random);
    }
}

// A 3-channel line of 200,000 pixels reduced, averaged and enlarged.
TEST(ScalePP, LongLines) {
    std::mt19937 random(34);
    for (Front front : {Front::fast_sse2, Front::general_q12, Front::general_double})
        for (uint32_t w : {70001u, 100000u, 300007u}) {
            check_pp<uint8_t>(front, 200000, 1, 3, w, 1, random);
            check_pp<uint16_t>(front, 200000, 2, 3, w, 3, random);
        }
}

// Constant images stay constant on every path, full scale included; the
// sample counts of the lines exercise the vector loops and their tails.
TEST(ScalePP, ConstantImagesStayConstant) {
    std::mt19937 random(31);
    for (Front front : {Front::fast_sse2, Front::fast_plain, Front::general_double,
                        Front::general_q12, Front::fast_axes_other})
        for (const Size& s : {Size{48, 41, 19, 13}, Size{50, 37, 48, 5}, Size{19, 23, 53, 47}})
            for (int v : {0, 1, 77, 254, 255}) {
                check_pp<uint8_t>(front, s.w0, s.h0, 3, s.w, s.h, random, v);
                check_pp<uint16_t>(front, s.w0, s.h0, 1, s.w, s.h, random,
                                   v == 255 ? 65535 : v * 257);
            }
}

// The fast front end gives the same images with and without SSE2 (fast and
// plain engines), and an exact double repeats every sample.
TEST(ScalePP, FastAndPlainAgreeAndDoublesRepeat) {
    std::mt19937 random(32);
    for (const Size& s : {Size{333, 61, 100, 17}, Size{97, 257, 31, 100}, Size{40, 30, 80, 60}}) {
        const std::vector<uint8_t> in = samples<uint8_t>(random, size_t{s.w0} * s.h0 * 4);
        std::vector<uint8_t> outs[2];
        for (int sse2 = 0; sse2 < 2; ++sse2) {
            VRX_DefaultManager m;
            bool q12 = false;
            ASSERT_TRUE(run_front<uint8_t>(sse2 ? Front::fast_sse2 : Front::fast_plain, m,
                                           read_memory(m, format_of<uint8_t>(s.w0, s.h0, 4), in),
                                           s.w, s.h, q12, outs[sse2]));
        }
        EXPECT_EQ(outs[0], outs[1]);
        if (s.w != 2 * s.w0 || s.h != 2 * s.h0) continue;
        for (uint32_t y = 0; y < s.h; ++y)
            for (uint32_t x = 0; x < s.w * 4; ++x)
                ASSERT_EQ(outs[0][(size_t{y} * s.w) * 4 + x],
                          in[(size_t{y / 2} * s.w0 + x / 8) * 4 + x % 4]);
    }
}

// Values worked out by hand (they also check the model).
TEST(ScalePP, WorkedValues) {
    struct Case {
        const char* name;
        Front front;
        uint32_t w0, h0;
        std::vector<int> in;
        uint32_t w, h;
        std::vector<int> out;
    };
    const std::vector<int> ten = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90};
    const Case table[] = {
        // s0, s1 x 2/3 + s0 / 3, s2 / 3 + s1 x 2/3, s2.
        {"3 to 4", Front::general_double, 3, 1, {0, 90, 30}, 4, 1, {0, 60, 70, 30}},
        {"3 lines to 4", Front::general_double, 1, 3, {0, 90, 30}, 1, 4, {0, 60, 70, 30}},
        // (s0 + s1 + s2 / 2) / 2.5 and (s2 / 2 + s3 + s4) / 2.5.
        {"5 to 2", Front::general_double, 5, 1, {10, 20, 30, 40, 50}, 2, 1, {18, 42}},
        {"5 lines to 2", Front::fast_sse2, 1, 5, {10, 20, 30, 40, 50}, 1, 2, {18, 42}},
        // Destination 1 = (s2 / 2 + s3 + s4 + 0 x s5) / 2.5.
        {"10 to 4", Front::fast_sse2, 10, 1, ten, 4, 1, {8, 32, 58, 82}},
        {"all 255 by 2.5", Front::general_q12, 5, 1, {255, 255, 255, 255, 255}, 2, 1, {255, 255}},
        // Whole reductions round halves up: (0 + 10 + 20 + 30 + 2) >> 2.
        {"ratio 4", Front::fast_sse2, 8, 1, {0, 10, 20, 30, 1, 1, 1, 2}, 2, 1, {15, 1}},
        {"doubled",
         Front::fast_sse2,
         2,
         2,
         {1, 2, 3, 4},
         4,
         4,
         {1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> in(c.in.begin(), c.in.end()), want(c.out.begin(), c.out.end());
        VRX_DefaultManager m;
        std::vector<uint8_t> out;
        bool q12 = false;
        ASSERT_TRUE(run_front<uint8_t>(
            c.front, m, read_memory(m, format_of<uint8_t>(c.w0, c.h0), in), c.w, c.h, q12, out));
        EXPECT_EQ(out, want);
        EXPECT_EQ(scale_model::bytes_of<uint8_t>(scale_model::scale_pp(
                      {q12, 255}, scale_model::image_of<uint8_t>(in, c.w0, c.h0, 1), c.w, c.h)),
                  want);
    }
    // Averaging by a given ratio: the tenth sample is left out; 11 by 4 and
    // 5 by 8 average blocks of 5.
    struct Average {
        uint32_t ratio;
        std::vector<uint8_t> in, out;
        uint32_t engine_ratio, shift;
    };
    const std::vector<uint8_t> eleven = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 99};
    for (const Average& a :
         {Average{3, std::vector<uint8_t>(eleven.begin(), eleven.end() - 1), {10, 40, 70}, 3, 0},
          Average{4, eleven, {20, 70}, 5, 0}, Average{8, {1, 2, 3, 4, 5}, {3}, 5, 0},
          Average{4, {0, 10, 20, 30, 1, 1, 1, 2}, {15, 1}, 4, 2}}) {
        VRX_DefaultManager m;
        const uint32_t w0 = static_cast<uint32_t>(a.in.size());
        auto* e = dynamic_cast<VRX_ScaleWidthIAREngine<uint8_t>*>(
            VRX_ScaleWidthIAR(&m).engine(read_memory(m, format_of<uint8_t>(w0, 1), a.in), a.ratio));
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->ratio(), a.engine_ratio);
        EXPECT_EQ(e->shift(), a.shift);
        std::vector<uint8_t> out;
        ASSERT_TRUE(take_lines(e, out));
        EXPECT_EQ(out, a.out) << a.ratio;
    }
}

// Sums that pass 31 bits: an 8-bit line of 10,000 samples reduced to 3 (in
// 32 bits all 255 would come out as 197) and a 16-bit Q12 reduction by 10.5
// stay within a level of the double path, on the width and on the height;
// the average of 65,537 samples of 65535 is 65535.
TEST(ScalePP, SumsPastThirtyOneBits) {
    std::mt19937 random(33);
    struct Case {
        uint32_t length, to;
        bool sixteen;
    };
    for (const Case& c : {Case{10000, 3, false}, Case{210, 20, true}})
        for (bool columns : {false, true})
            for (int constant : {-1, c.sixteen ? 65535 : 255}) {
                SCOPED_TRACE(testing::Message()
                             << c.length << " -> " << c.to << (columns ? " lines" : ""));
                const uint32_t w0 = columns ? 2 : c.length, h0 = columns ? c.length : 2;
                const uint32_t w = columns ? 2 : c.to, h = columns ? c.to : 2;
                const std::vector<uint8_t> in =
                    c.sixteen ? samples<uint16_t>(random, size_t{w0} * h0, constant)
                              : samples<uint8_t>(random, size_t{w0} * h0, constant);
                const Format f =
                    c.sixteen ? format_of<uint16_t>(w0, h0) : format_of<uint8_t>(w0, h0);
                std::vector<uint8_t> exact, q12, fast;
                VRX_DefaultManager m;
                ASSERT_TRUE(take_lines(
                    VRX_ScalePPBy<double>(&m).engine(read_memory(m, f, in), w, h), exact));
                ASSERT_TRUE(
                    take_lines(VRX_ScalePPBy<Q12>(&m).engine(read_memory(m, f, in), w, h), q12));
                ASSERT_TRUE(take_lines(fast_axes<Q12>(m, read_memory(m, f, in), w, h), fast));
                EXPECT_EQ(q12, fast);
                for (size_t i = 0; i < exact.size(); i += c.sixteen ? 2 : 1) {
                    const int a = c.sixteen ? exact[i] | exact[i + 1] << 8 : exact[i];
                    const int b = c.sixteen ? q12[i] | q12[i + 1] << 8 : q12[i];
                    EXPECT_LE(std::abs(a - b), 1) << i;
                    if (constant >= 0) {
                        EXPECT_EQ(b, constant) << i;
                    }
                }
            }
    for (bool columns : {false, true}) {
        const uint32_t n = 65537;
        const std::vector<uint8_t> in = samples<uint16_t>(random, n, 65535);
        VRX_DefaultManager m;
        VRX_Engine* source =
            read_memory(m, format_of<uint16_t>(columns ? 1 : n, columns ? n : 1), in);
        std::vector<uint8_t> out;
        ASSERT_TRUE(
            take_lines(VRX_ScaleIAR(&m).engine(source, columns ? 1 : n, columns ? n : 1), out));
        EXPECT_EQ(out, std::vector<uint8_t>({0xFF, 0xFF}));
    }
}

// The engine the front ends put last, which also shows the order of the
// stages and the weights chosen by depth.
TEST(ScalePP, EnginesTheChoiceBuilds) {
    struct Choice {
        bool sse2;
        uint32_t w0, h0, w, h;
        uint16_t bits;
        const std::type_info& last;
    };
    const Choice table[] = {
        {true, 100, 100, 100, 50, 8, typeid(VRX_ScaleHeightIAREngine<unsigned char>)},
        {true, 100, 100, 100, 30, 8, typeid(VRX_ScaleHeightPPFastREngine<unsigned char, Q12>)},
        {false, 100, 100, 100, 30, 8, typeid(VRX_ScaleHeightPPREngine<unsigned char, Q12>)},
        {true, 100, 100, 30, 100, 16, typeid(VRX_ScaleWidthPPFastREngine<unsigned short, double>)},
        {false, 100, 100, 30, 100, 16, typeid(VRX_ScaleWidthPPREngine<unsigned short, double>)},
        {true, 30, 100, 100, 100, 16, typeid(VRX_ScaleWidthPPEEngine<unsigned short, double>)},
        {true, 100, 30, 100, 100, 8, typeid(VRX_ScaleHeightPPEEngine<unsigned char, Q12>)},
        {true, 100, 100, 50, 30, 8, typeid(VRX_ScaleWidthIAREngine<unsigned char>)},
        {true, 100, 100, 300, 30, 8, typeid(VRX_ScaleWidthPPEEngine<unsigned char, Q12>)},
        {true, 100, 100, 30, 300, 8, typeid(VRX_ScaleHeightPPEEngine<unsigned char, Q12>)},
        {true, 100, 1, 100, 5, 8, typeid(VRX_ScaleHeightIREEngine)},
        {false, 1, 100, 7, 100, 16, typeid(VRX_ScaleWidthIRE8xNBitsEngine<unsigned short>)},
        {false, 3, 100, 7, 100, 16, typeid(VRX_ScaleWidthPPEEngine<unsigned short, double>)},
    };
    for (const Choice& c : table) {
        SCOPED_TRACE(testing::Message() << c.w0 << "x" << c.h0 << " -> " << c.w << "x" << c.h);
        const Format f = image_format(c.w0, c.h0, c.bits);
        Processor cpu(c.sse2);
        VRX_DefaultManager m;
        const std::vector<uint8_t> bytes(line_bytes(f) * f.height);
        VRX_Engine* last = VRX_ScalePPFastBy<Q12>(&m).engine(read_memory(m, f, bytes), c.w, c.h);
        ASSERT_NE(last, nullptr);
        EXPECT_EQ(typeid(*last), c.last) << typeid(*last).name();
    }
    VRX_DefaultManager m;
    const std::vector<uint8_t> bytes(100);
    VRX_Engine* source = read_memory(m, format_of<uint8_t>(10, 10), bytes);
    EXPECT_EQ(VRX_ScalePPFastBy<Q12>(&m).engine(source, 10, 10), source);
    EXPECT_EQ(VRX_ScalePPBy<double>(&m).engine(source, 10, 10), source);
    EXPECT_EQ(VRX_ScaleIAR(&m).engine(source, 1, 1), source);
}

// Refusals by code and text.
TEST(ScalePP, Refusals) {
    const VRX_DataType* s = VRX_DataType::s_integer();
    const VRX_DataType* u = VRX_DataType::u_integer();
    struct Case {
        const char* name;
        bool sse2;
        Format format;
        uint32_t w, h;
        uint32_t code;
        const char* function;
    };
    const Case table[] = {
        {"height 0", true, image_format(10, 10, 8, 1, u), 10, 0, VRX_ERROR_ARGUMENT,
         "VRX_ScaleHeightPPFastBy::engine()"},
        {"width 0", true, image_format(10, 10, 8, 1, u), 0, 10, VRX_ERROR_ARGUMENT,
         "VRX_ScaleWidthPPFastBy::engine()"},
        {"width 0 plain", false, image_format(10, 10, 8, 1, u), 0, 10, VRX_ERROR_ARGUMENT,
         "VRX_ScaleWidthPPBy::engine()"},
        {"height 0 plain", false, image_format(10, 10, 8, 1, u), 10, 0, VRX_ERROR_ARGUMENT,
         "VRX_ScaleHeightPPBy::engine()"},
        {"signed fast", true, image_format(10, 10, 8, 1, s), 10, 3, VRX_ERROR_UNSUPPORTED,
         "VRX_ScaleHeightPPFastREngine::initiate()"},
        {"signed plain", false, image_format(10, 10, 8, 1, s), 3, 10, VRX_ERROR_UNSUPPORTED,
         "VRX_ScaleWidthPPEngine::initiate()"},
        {"signed enlarged", true, image_format(10, 10, 16, 1, s), 10, 13, VRX_ERROR_UNSUPPORTED,
         "VRX_ScaleHeightPPEngine::initiate()"},
        {"signed averaged", true, image_format(10, 10, 8, 1, s), 5, 10, VRX_ERROR_UNSUPPORTED,
         "VRX_ScaleWidthIAREngine::initiate()"},
        {"signed averaged lines", true, image_format(10, 10, 8, 1, s), 10, 5, VRX_ERROR_UNSUPPORTED,
         "VRX_ScaleHeightIAREngine::initiate()"},
        {"32 bits fast", true, image_format(10, 10, 32, 1, u), 3, 10, VRX_ERROR_UNSUPPORTED,
         "VRX_ScaleWidthPPFastRBy::engine()"},
        {"32 bits plain", false, image_format(10, 10, 32, 1, u), 10, 3, VRX_ERROR_UNSUPPORTED,
         "VRX_ScaleHeightPPRBy::engine()"},
        {"1 bit enlarged", true, image_format(10, 10, 1, 1, u), 13, 10, VRX_ERROR_UNSUPPORTED,
         "VRX_ScaleWidthPPEBy::engine()"},
        {"32 bits averaged", true, image_format(10, 10, 32, 1, u), 10, 5, VRX_ERROR_UNSUPPORTED,
         "VRX_ScaleHeightIAR::engine()"},
    };
    std::vector<Refusal> refusals;
    for (const Case& c : table) {
        refusals.emplace_back(
            c.name,
            [c](VRX_Manager& m) {
                Processor cpu(c.sse2);
                return VRX_ScalePPFastBy<Q12>(&m).engine(read_memory(m, c.format, zero_bytes()),
                                                         c.w, c.h);
            },
            c.code, c.function);
    }
    refusals.emplace_back(
        "no source",
        [](VRX_Manager& m) { return VRX_ScalePPFastBy<Q12>(&m).engine(nullptr, 1, 1); },
        VRX_ERROR_ARGUMENT, "VRX_ScalePPFastBy::engine()");
    expect_refusals(refusals);

    // Engines asked for what their creators never ask: an E engine for a
    // size not above the source's, averaging by 0.
    const std::vector<uint8_t> bytes(100);
    VRX_DefaultManager e;
    EXPECT_EQ(VRX_ScaleHeightPPEBy<double>(&e).engine(
                  read_memory(e, format_of<uint8_t>(10, 10), bytes), 7),
              nullptr);
    EXPECT_STATUS(e, VRX_ERROR_ARGUMENT, "VRX_ScaleHeightPPEEngine::initiate()");
    VRX_DefaultManager we;
    EXPECT_EQ(
        VRX_ScaleWidthPPEBy<Q12>(&we).engine(read_memory(we, format_of<uint8_t>(10, 10), bytes), 9),
        nullptr);
    EXPECT_STATUS(we, VRX_ERROR_ARGUMENT, "VRX_ScaleWidthPPEEngine::initiate()");
    VRX_DefaultManager z;
    EXPECT_EQ(VRX_ScaleWidthIAR(&z).engine(read_memory(z, format_of<uint8_t>(10, 10), bytes), 0),
              nullptr);
    EXPECT_STATUS(z, VRX_ERROR_ARGUMENT, "VRX_ScaleWidthIAR::engine()");
    // Averaging engines made directly for a size above the source's would
    // divide by a ratio of 0.
    VRX_DefaultManager a;
    VRX_Engine* source = read_memory(a, format_of<uint8_t>(10, 10), bytes);
    auto* engine = construct<VRX_ScaleHeightIAREngine<uint8_t>>(&a);
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_DstBuffer* dst = a.new_dst_buffer();
    EXPECT_FALSE(engine->initiate(source->header(), src, dst, 11));
    EXPECT_STATUS(a, VRX_ERROR_ARGUMENT, "VRX_ScaleHeightIAREngine::initiate()");
    vrx::destroy(engine);
    vrx::destroy(src);
    vrx::destroy(dst);
}

// The Q12 reductions fall back on double where the rounded inverse of the
// ratio would move full scale by half a level (ratio 300: Q12(1 / 300) = 14),
// and full scale stays full scale either way.
TEST(ScalePP, FallbackToDouble) {
    for (uint32_t from : {600u, 5u}) {
        const std::vector<uint8_t> in(from, 255);
        VRX_DefaultManager m;
        auto* plain = dynamic_cast<VRX_ScaleWidthPPREngine<uint8_t, Q12>*>(
            VRX_ScaleWidthPPRBy<Q12>(&m).engine(read_memory(m, format_of<uint8_t>(from, 1), in),
                                                2));
        auto* fast = dynamic_cast<VRX_ScaleWidthPPFastREngine<uint8_t, Q12>*>(
            VRX_ScaleWidthPPFastRBy<Q12>(&m).engine(read_memory(m, format_of<uint8_t>(from, 1), in),
                                                    2));
        ASSERT_TRUE(plain && fast);
        EXPECT_EQ(plain->fallback(), from == 600);
        EXPECT_EQ(fast->fallback(), from == 600);
        for (VRX_Engine* e : {static_cast<VRX_Engine*>(plain), static_cast<VRX_Engine*>(fast)}) {
            std::vector<uint8_t> out;
            ASSERT_TRUE(take_lines(e, out));
            EXPECT_EQ(out, std::vector<uint8_t>({255, 255}));
        }
    }
}

// The processor test: leaf 1's EDX bit 26, asked only when leaf 0 reports it.
TEST(ScalePP, ProcessorWithSse2) {
    struct Case {
        bool has_cpuid;
        uint32_t highest, edx;
        bool sse2;
    };
    for (const Case& c : {Case{true, 1, 1u << 26, true}, Case{true, 13, ~0u, true},
                          Case{true, 1, ~(1u << 26), false}, Case{true, 0, 1u << 26, false},
                          Case{false, 1, 1u << 26, false}}) {
        platform::testing::FakeCpuid cpu;
        cpu.hasCpuid = c.has_cpuid;
        cpu.Set(0, platform::CpuidLeaf{c.highest, 0, 0, 0});
        cpu.Set(1, platform::CpuidLeaf{0, 0, 0, c.edx});
        EXPECT_EQ(has_sse2(), c.sse2);
    }
    EXPECT_TRUE(has_sse2());  // this machine's own processor
}

}  // namespace
