#include "vrx/core/scale/vrx_scalenn.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <typeinfo>
#include <vector>

#include "tests/vrx/core/qmrle/qmrle_support.h"
#include "vrx/core/scale/vrx_scaleheightire.h"
#include "vrx/core/scale/vrx_scaleheightireengine.h"
#include "vrx/core/scale/vrx_scaleheightnnengine.h"
#include "vrx/core/scale/vrx_scaleheightnnqmrleengine.h"
#include "vrx/core/scale/vrx_scaleshrinknn.h"
#include "vrx/core/scale/vrx_scaleshrinknnengine.h"
#include "vrx/core/scale/vrx_scaless.h"
#include "vrx/core/scale/vrx_scalessengine.h"
#include "vrx/core/scale/vrx_scalewidthire.h"
#include "vrx/core/scale/vrx_scalewidthire1bit.h"
#include "vrx/core/scale/vrx_scalewidthire1bitengine.h"
#include "vrx/core/scale/vrx_scalewidthire8xnbitsengine.h"
#include "vrx/core/scale/vrx_scalewidthnn.h"
#include "vrx/core/scale/vrx_scalewidthnnengine.h"
#include "vrx/core/scale/vrx_scalewidthnnqmrle.h"
#include "vrx/core/scale/vrx_scalewidthnnqmrleengine.h"

namespace {

using namespace vrx;
using namespace vrx_pixel_test;
using namespace vrx_qmrle_test;

// The source index of destination index i by the centre rule, in integers.
uint32_t centre(uint32_t i, uint32_t source, uint32_t target) {
    return static_cast<uint32_t>((2 * uint64_t{i} + 1) * source / (2 * uint64_t{target}));
}

// The image scaled by the centre rule: whole pixels of `pixel_bits` bits
// copied bit by bit, padding bits 0.
std::vector<uint8_t> model_scale(const std::vector<uint8_t>& in, const Format& f, uint32_t w,
                                 uint32_t h) {
    const uint32_t pixel_bits = uint32_t{f.channels} * f.bits;
    const size_t in_line = line_bytes(f), out_line = (size_t{w} * pixel_bits + 7) / 8;
    std::vector<uint8_t> out(out_line * h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            for (uint32_t b = 0; b < pixel_bits; ++b) {
                const size_t from = size_t{centre(x, f.width, w)} * pixel_bits + b;
                const size_t to = size_t{x} * pixel_bits + b;
                if ((in[centre(y, f.height, h) * in_line + from / 8] >> (7 - from % 8)) & 1)
                    out[y * out_line + to / 8] |= static_cast<uint8_t>(0x80u >> (to % 8));
            }
    return out;
}

enum class Kind { raw, run_length };

struct Sample {
    uint16_t bits, channels;
    const VRX_DataType* type;
    Kind kind;
};

// Scales random samples of w0 x h0 to w x h through VRX_ScaleNN and
// compares the result, padding bits included, with the model.
void check_scale(const Sample& s, uint32_t w0, uint32_t h0, uint32_t w, uint32_t h,
                 std::mt19937& random) {
    SCOPED_TRACE(testing::Message()
                 << w0 << "x" << h0 << " -> " << w << "x" << h << ", " << s.bits << " bits x "
                 << s.channels << (s.kind == Kind::run_length ? " run-length" : ""));
    const Format f = image_format(w0, h0, s.bits, s.channels, s.type);
    // Random samples with padding bits 0.
    Format unpadded = f;
    unpadded.width = static_cast<uint32_t>(line_bytes(f) * 8 / (uint32_t{s.bits} * s.channels));
    std::vector<uint8_t> in =
        model_scale(iotest::random_bytes(random, line_bytes(unpadded) * h0), unpadded, w0, h0);
    if (s.kind == Kind::raw) in = model_scale(in, f, w0, h0);
    const std::vector<uint8_t> expected = model_scale(in, f, w, h);

    VRX_DefaultManager m;
    std::vector<uint8_t> out, stream, result;
    if (s.kind == Kind::raw) {
        VRX_Engine* last = VRX_ScaleNN(&m).engine(read_memory(m, f, in), w, h);
        ASSERT_NE(last, nullptr);
        ASSERT_TRUE(take_lines(last, out));
    } else {
        stream = stream_of(runs_of(in, w0, h0));
        VRX_Engine* last =
            VRX_ScaleNN(&m).engine(read_memory(m, qmrle_format(w0, h0), stream), w, h);
        ASSERT_NE(last, nullptr);
        ASSERT_TRUE(take_stream(m, last, result));
        RunLines lines;
        ASSERT_TRUE(parse_stream(result, lines));
        ASSERT_EQ(lines.size(), h);
        out = packed_of(lines, w);
    }
    EXPECT_EQ(out, expected);
    EXPECT_NO_ERROR(m);
    EXPECT_TRUE(m.execute());
}

const Sample kSamples[] = {
    {8, 1, VRX_DataType::u_integer(), Kind::raw},
    {8, 3, VRX_DataType::s_integer(), Kind::raw},
    {16, 4, VRX_DataType::u_integer(), Kind::raw},
    {16, 5, VRX_DataType::s_integer(), Kind::raw},
    {16, 1, VRX_DataType::u_integer(), Kind::raw},
    {8, 5, VRX_DataType::u_integer(), Kind::raw},
    {16, 3, VRX_DataType::s_integer(), Kind::raw},
    {1, 1, VRX_DataType::u_integer(), Kind::raw},
    {1, 1, VRX_DataType::u_integer(), Kind::run_length},
};

// Odd source sizes 1..33 (no destination centre on a pixel edge) to every
// size 1..70 on one axis and a random pair on the other, every sample kind
// in turn: general, whole-factor, sub-sampling, shrink, 1-bit and
// run-length paths all meet the model.
TEST(ScaleNN, EveryPathAgainstTheCentreModel) {
    std::mt19937 random(21);
    size_t k = 0;
    for (uint32_t a = 1; a <= 33; a += 2)
        for (uint32_t b = 1; b <= 70; ++b) {
            const uint32_t c = 1 + 2 * (random() % 17), d = 1 + random() % 70;
            check_scale(kSamples[k++ % std::size(kSamples)], a, c, b, d, random);
            check_scale(kSamples[k++ % std::size(kSamples)], c, a, d, b, random);
            if (testing::Test::HasFailure()) return;
        }
    // Whole ratios on both axes: the sub-sampler.
    for (uint32_t a = 3; a <= 33; a += 2)
        for (uint32_t r = 3; r <= a; r += 2)
            if (a % r == 0)
                for (const Sample& s : kSamples) check_scale(s, a, 3 * r, a / r, 3, random);
}

// The source columns documented for even sizes, where the accumulated
// position decides: 100 -> 30 takes 84 at column 25 (25.5 x 10 / 3 = 85.0
// exactly, the sum stays just below it).
TEST(ScaleNN, ColumnsOfTheAccumulatedPosition) {
    struct Case {
        uint32_t from, to;
        std::vector<uint32_t> columns;                  // of destination columns 0, 1, ...
        std::vector<std::pair<uint32_t, uint32_t>> at;  // (destination, source) pairs
    };
    const Case table[] = {
        {100, 30, {1, 5, 8}, {{25, 84}, {29, 98}}},
        {3, 7, {0, 0, 1, 1, 1, 2, 2}, {}},
        {10, 4, {1, 3, 6, 8}, {}},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.from);
        std::vector<uint8_t> line(c.from);
        for (uint32_t i = 0; i < c.from; ++i) line[i] = static_cast<uint8_t>(i);
        VRX_DefaultManager m;
        VRX_Engine* e =
            VRX_ScaleWidthNN(&m).engine(read_memory(m, format_of<uint8_t>(c.from, 1), line), c.to);
        std::vector<uint8_t> out;
        ASSERT_TRUE(take_lines(e, out));
        for (size_t i = 0; i < c.columns.size(); ++i) EXPECT_EQ(out[i], c.columns[i]) << i;
        for (const auto& [to, from] : c.at) EXPECT_EQ(out[to], from) << to;
    }
}

struct Choice {
    uint32_t w0, h0, w, h;
    Sample sample;
    const std::type_info& last;
};

// The engine VRX_ScaleNN puts last, which also shows the order of the
// stages (the shrinking axis first).
TEST(ScaleNN, EnginesTheChoiceBuilds) {
    const Sample u16{16, 1, VRX_DataType::u_integer(), Kind::raw};
    const Sample s16{16, 1, VRX_DataType::s_integer(), Kind::raw};
    const Sample s8{8, 3, VRX_DataType::s_integer(), Kind::raw};
    const Sample bit{1, 1, VRX_DataType::u_integer(), Kind::raw};
    const Sample rle{1, 1, VRX_DataType::u_integer(), Kind::run_length};
    const Choice table[] = {
        {512, 512, 256, 256, u16, typeid(VRX_ScaleSSEngine<unsigned short>)},
        {9, 9, 3, 3, s16, typeid(VRX_ScaleSSEngine<short>)},
        {300, 300, 100, 150, s8, typeid(VRX_ScaleSSEngine<char>)},
        {512, 512, 200, 200, u16, typeid(VRX_ScaleShrinkNNEngine<unsigned short>)},
        {20, 20, 10, 10, bit, typeid(VRX_ScaleShrinkNNEngine<unsigned char>)},
        {512, 512, 1024, 300, u16, typeid(VRX_ScaleWidthIRE8xNBitsEngine<unsigned short>)},
        {512, 512, 300, 1024, u16, typeid(VRX_ScaleHeightIREEngine)},
        {512, 512, 700, 512, u16, typeid(VRX_ScaleWidthNNEngine)},
        {512, 512, 200, 700, u16, typeid(VRX_ScaleHeightNNEngine)},
        {10, 10, 30, 10, s8, typeid(VRX_ScaleWidthIRE8xNBitsEngine<char>)},
        {10, 4, 30, 4, bit, typeid(VRX_ScaleWidthIRE1BitEngine)},
        {10, 4, 13, 4, bit, typeid(VRX_ScaleWidthNNEngine)},
        {10, 10, 20, 5, rle, typeid(VRX_ScaleWidthNNQMRLEEngine)},
        {10, 10, 5, 20, rle, typeid(VRX_ScaleHeightNNQMRLEEngine)},
    };
    for (const Choice& c : table) {
        SCOPED_TRACE(testing::Message() << c.w0 << "x" << c.h0 << " -> " << c.w << "x" << c.h);
        Format f = image_format(c.w0, c.h0, c.sample.bits, c.sample.channels, c.sample.type);
        if (c.sample.kind == Kind::run_length) f = qmrle_format(c.w0, c.h0);
        VRX_DefaultManager m;
        const std::vector<uint8_t> bytes(line_bytes(f) * f.height + 64);
        VRX_Engine* last = VRX_ScaleNN(&m).engine(read_memory(m, f, bytes), c.w, c.h);
        ASSERT_NE(last, nullptr);
        EXPECT_EQ(typeid(*last), c.last) << typeid(*last).name();
    }
    VRX_DefaultManager m;
    const std::vector<uint8_t> bytes(100);
    VRX_Engine* source = read_memory(m, format_of<uint8_t>(10, 10), bytes);
    EXPECT_EQ(VRX_ScaleNN(&m).engine(source, 10, 10), source);
}

// Refusals by code and text, target sizes of 0 among them: 0 is a multiple
// of every size, so it reaches the whole-factor engines, which refuse it.
TEST(ScaleNN, Refusals) {
    const VRX_DataType* u = VRX_DataType::u_integer();
    const VRX_DataType* fl = VRX_DataType::floating();
    const std::vector<SizeRefusal> table = {
        {"32-bit enlarged", image_format(10, 4, 32, 1, u), 15, 4, VRX_ERROR_UNSUPPORTED,
         "VRX_ScaleWidthNNEngine::initiate()"},
        {"32-bit doubled", image_format(10, 4, 32, 1, u), 20, 4, VRX_ERROR_UNSUPPORTED,
         "VRX_ScaleWidthIRE8xNBits::engine()"},
        {"float doubled", image_format(10, 4, 32, 1, fl), 20, 4, VRX_ERROR_UNSUPPORTED,
         "VRX_ScaleWidthIRE8xNBits::engine()"},
        {"4-bit shrunk", image_format(10, 4, 4, 1, u), 5, 2, VRX_ERROR_UNSUPPORTED,
         "VRX_ScaleShrinkNN::engine()"},
        {"1 bit of 3 channels", image_format(10, 4, 1, 3, u), 15, 4, VRX_ERROR_UNSUPPORTED,
         "VRX_ScaleWidthNNEngine::initiate()"},
        {"width 0", image_format(10, 4, 8, 1, u), 0, 4, VRX_ERROR_ARGUMENT,
         "VRX_ScaleWidthIRE8xNBitsEngine::initiate()"},
        {"1-bit width 0", image_format(10, 4, 1, 1, u), 0, 9, VRX_ERROR_ARGUMENT,
         "VRX_ScaleWidthIRE1BitEngine::initiate()"},
        {"height 0", image_format(10, 4, 16, 1, u), 12, 0, VRX_ERROR_ARGUMENT,
         "VRX_ScaleHeightIREEngine::initiate()"},
        {"width 0 shrunk", image_format(10, 4, 8, 1, u), 0, 2, VRX_ERROR_ARGUMENT,
         "VRX_ScaleShrinkNNEngine::initiate()"},
        {"run-length width 0", qmrle_format(10, 4), 0, 4, VRX_ERROR_ARGUMENT,
         "VRX_ScaleWidthQMRLEEngine::initiate()"},
        {"run-length height 0", qmrle_format(10, 4), 10, 0, VRX_ERROR_ARGUMENT,
         "VRX_ScaleHeightQMRLEEngine::initiate()"},
    };
    expect_refusals(size_refusals<VRX_ScaleNN>(table, "VRX_ScaleNN::engine()"));
}

// Sub-sampling by steps and offsets given directly, steps near 2^32
// included: the output holds every sample position inside the image.
TEST(ScaleNN, SubSamplingSteps) {
    struct Case {
        uint32_t w0, h0, sx, sy, ox, oy;
        std::vector<uint32_t> columns, lines;
    };
    const Case table[] = {
        {9, 2, 3, 1, 1, 0, {1, 4, 7}, {0, 1}},
        {5, 5, 2, 2, 1, 1, {1, 3}, {1, 3}},
        {5, 3, 1, 1, 1, 1, {1, 2, 3, 4}, {1, 2}},
        {5, 3, 0xFFFFFFFFu, 0xFFFFFFFEu, 1, 2, {1}, {2}},
    };
    for (const Case& c : table) {
        std::vector<uint16_t> image(size_t{c.w0} * c.h0);
        for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint16_t>(i);
        const std::vector<uint8_t> bytes = to_bytes(image);
        VRX_DefaultManager m;
        VRX_Engine* e = VRX_ScaleSS(&m).engine(
            read_memory(m, format_of<uint16_t>(c.w0, c.h0), bytes), c.sx, c.sy, c.ox, c.oy);
        ASSERT_NE(e, nullptr);
        ASSERT_EQ(e->header()->width, c.columns.size());
        std::vector<uint8_t> out;
        ASSERT_TRUE(take_lines(e, out));
        std::vector<uint16_t> want;
        for (uint32_t y : c.lines)
            for (uint32_t x : c.columns) want.push_back(static_cast<uint16_t>(y * c.w0 + x));
        EXPECT_EQ(from_bytes<uint16_t>(out), want);
    }
    VRX_DefaultManager m;
    const std::vector<uint8_t> bytes(64);
    VRX_Engine* source = read_memory(m, format_of<uint8_t>(8, 8), bytes);
    EXPECT_EQ(VRX_ScaleSS(&m).engine(source, 1, 1, 0, 0), source);
    EXPECT_EQ(VRX_ScaleSS(&m).engine(source, 2, 2, 8, 0), nullptr);
    EXPECT_TRUE(iotest::reported(m, VRX_ERROR_ARGUMENT, "VRX_ScaleSSEngine::initiate()"));
    EXPECT_EQ(VRX_ScaleSS(&m).engine(read_memory(m, image_format(8, 8, 4), bytes), 2, 2, 0, 0),
              nullptr);
    EXPECT_TRUE(iotest::reported(m, VRX_ERROR_UNSUPPORTED, "VRX_ScaleSSEngine::initiate()"));
}

// Whole-factor stages behind a stage that writes several lines per block:
// each reads its source one line at a time.
TEST(ScaleNN, WholeFactorsBehindWholeFactors) {
    std::mt19937 random(5);
    for (const Sample& s : {kSamples[7], kSamples[3]}) {
        Format f = image_format(11, 3, s.bits, s.channels, s.type);
        const std::vector<uint8_t> in = model_scale(
            iotest::random_bytes(random, line_bytes(f) * f.height), f, f.width, f.height);
        VRX_DefaultManager m;
        VRX_Engine* e = VRX_ScaleHeightIRE(&m).engine(read_memory(m, f, in), 3);
        e = VRX_ScaleHeightIRE(&m).engine(e, 2);
        e = s.bits == 1 ? VRX_ScaleWidthIRE1Bit(&m).engine(e, 2)
                        : VRX_ScaleWidthNN(&m).engine(e, 22);
        std::vector<uint8_t> out;
        ASSERT_TRUE(take_lines(e, out));
        EXPECT_EQ(out, model_scale(in, f, 22, 18));
        EXPECT_NO_ERROR(m);
    }
}

// Factors past the expansion table and factors whose output does not fit
// 32 bits.
TEST(ScaleNN, LargeFactors) {
    std::mt19937 random(6);
    const Format f = image_format(11, 2, 1);
    const std::vector<uint8_t> in =
        model_scale(iotest::random_bytes(random, line_bytes(f) * f.height), f, 11, 2);
    for (uint32_t factor : {64u, 65u, 100u}) {
        VRX_DefaultManager m;
        std::vector<uint8_t> out;
        ASSERT_TRUE(
            take_lines(VRX_ScaleWidthIRE1Bit(&m).engine(read_memory(m, f, in), factor), out));
        EXPECT_EQ(out, model_scale(in, f, 11 * factor, 2)) << factor;
    }
    const std::vector<uint8_t> bytes(64);
    const uint32_t huge = 0x60000000u;  // 3 x huge is past 32 bits
    VRX_DefaultManager m;
    EXPECT_EQ(VRX_ScaleWidthIRE1Bit(&m).engine(read_memory(m, image_format(3, 3, 1), bytes), huge),
              nullptr);
    EXPECT_TRUE(iotest::reported(m, VRX_ERROR_ARGUMENT, "VRX_ScaleWidthIRE1BitEngine::initiate()"));
    EXPECT_EQ(VRX_ScaleWidthIRE(&m).engine(read_memory(m, format_of<uint8_t>(3, 3), bytes), huge),
              nullptr);
    EXPECT_TRUE(
        iotest::reported(m, VRX_ERROR_ARGUMENT, "VRX_ScaleWidthIRE8xNBitsEngine::initiate()"));
    EXPECT_EQ(VRX_ScaleHeightIRE(&m).engine(read_memory(m, format_of<uint8_t>(3, 3), bytes), huge),
              nullptr);
    EXPECT_TRUE(iotest::reported(m, VRX_ERROR_ARGUMENT, "VRX_ScaleHeightIREEngine::initiate()"));
}

// Run-length width scaling maps run ends; when shrinking, runs that touch
// merge and empty ones vanish.
TEST(ScaleNN, RunLengthRunEnds) {
    struct Case {
        uint32_t from, to;
        std::vector<vrx_qmrle_test::Run> in, out;
    };
    const Case table[] = {
        {10, 20, {{0, 0}, {2, 4}}, {{0, 1}, {4, 9}}},
        {10, 5, {{0, 0}, {2, 3}, {5, 5}}, {{0, 1}}},
        {10, 5, {{0, 1}, {4, 5}}, {{0, 0}, {2, 2}}},
        {10, 5, {}, {}},
    };
    for (const Case& c : table) {
        const std::vector<uint8_t> stream = stream_of({c.in});
        VRX_DefaultManager m;
        VRX_Engine* e =
            VRX_ScaleWidthNNQMRLE(&m).engine(read_memory(m, qmrle_format(c.from, 1), stream), c.to);
        std::vector<uint8_t> out;
        ASSERT_TRUE(take_stream(m, e, out));
        EXPECT_EQ(out, stream_of({c.out}));
    }
}

}  // namespace
