// The AND of two images at any offset and the NOT of run-length images,
// against plain bit models, and the refusals of their creators and engines.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "tests/vrx/core/channel/channel_chain.h"
#include "tests/vrx/core/qmrle/qmrle_support.h"
#include "tests/vrx/framework/support/allocation_sweep.h"
#include "vrx/core/operation/vrx_and.h"
#include "vrx/core/operation/vrx_not.h"
#include "vrx/core/operation/vrx_notqmrle.h"
#include "vrx/core/operation/vrx_oppixels.h"

namespace {

using namespace vrx;
using namespace vrx_pixel_test;
using namespace vrx_qmrle_test;

// The AND done the plain way over the whole first image: bit j of pixel p of
// row r is ANDed with bit j of the operand's pixel (p - x, r - y) when that
// pixel exists; padding bits stay the first image's. `covered` tells whether
// any pixel was.
std::vector<uint8_t> and_reference(const std::vector<uint8_t>& a, const Format& fa,
                                   const std::vector<uint8_t>& b, const Format& fb, int64_t x,
                                   int64_t y, bool& covered) {
    std::vector<uint8_t> out = a;
    const size_t pixel = size_t{fa.channels} * fa.bits;
    const size_t la = line_bytes(fa) * 8, lb = line_bytes(fb) * 8;
    covered = false;
    for (int64_t r = 0; r < fa.height; ++r)
        for (int64_t p = 0; p < fa.width; ++p) {
            const int64_t sr = r - y, sp = p - x;
            if (sr < 0 || sr >= fb.height || sp < 0 || sp >= fb.width) continue;
            covered = true;
            for (size_t j = 0; j < pixel; ++j) {
                const size_t at = r * la + p * pixel + j;
                set_bit(out, at, bit_at(a, at) && bit_at(b, sr * lb + sp * pixel + j));
            }
        }
    return out;
}

// Random images of 1, 8 and 16 bits at random offsets, near, negative, far
// off and at the ends of the 32-bit range.
TEST(AndImages, AgainstAReferenceLoop) {
    std::mt19937 random(19);
    const int32_t ends[] = {INT32_MIN, INT32_MAX, INT32_MIN + 1, -1};
    for (int i = 0; i < 900; ++i) {
        const uint16_t bits = i % 3 == 0 ? 1 : i % 3 == 1 ? 8 : 16;
        const uint16_t channels = bits == 1 ? 1 : static_cast<uint16_t>(1 + random() % 3);
        const Format fa = image_format(1 + random() % 40, 1 + random() % 6, bits, channels);
        const Format fb = image_format(1 + random() % 40, 1 + random() % 6, bits, channels);
        auto offset = [&](uint32_t w0, uint32_t w1) {
            if (random() % 8 == 0) return ends[random() % 4];
            return static_cast<int32_t>(random() % (w0 + w1 + 4)) - static_cast<int32_t>(w1) - 2;
        };
        const int32_t x = offset(fa.width, fb.width), y = offset(fa.height, fb.height);
        SCOPED_TRACE(testing::Message() << bits << " bits x " << channels << ", " << fa.width << "x"
                                        << fa.height << " and " << fb.width << "x" << fb.height
                                        << " at " << x << "," << y);
        const std::vector<uint8_t> a = iotest::random_bytes(random, line_bytes(fa) * fa.height);
        const std::vector<uint8_t> b = iotest::random_bytes(random, line_bytes(fb) * fb.height);
        bool covered = false;
        const std::vector<uint8_t> expected = and_reference(a, fa, b, fb, x, y, covered);

        VRX_DefaultManager m;
        VRX_Engine* first = read_memory(m, fa, a);
        VRX_Engine* second = read_memory(m, fb, b);
        VRX_Engine* result = VRX_And(&m).engine(first, second, x, y);
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(result == first, !covered);
        std::vector<uint8_t> out;
        ASSERT_TRUE(take_lines(result, out));
        EXPECT_EQ(out, expected);
        EXPECT_NO_ERROR(m);
        EXPECT_TRUE(m.execute());
    }
}

// Random binary images as run-length streams in random blocks, some lines
// ending with a run up to the width itself: NOT gives the runs of the
// inverted bits, in canonical form, and NOT twice the image again.
TEST(NotRunLength, AgainstTheBitReference) {
    std::mt19937 random(41);
    for (int i = 0; i < 400; ++i) {
        const uint32_t w = 1 + random() % 40, h = 1 + random() % 5;
        const Format packed = image_format(w, h, 1);
        std::vector<uint8_t> image = iotest::random_bytes(random, line_bytes(packed) * h);
        if (i % 3 == 0)  // long runs, full and empty lines
            for (auto& b : image) b = random() % 2 ? static_cast<uint8_t>(random() % 2 * 0xFF) : b;
        RunLines lines = runs_of(image, w, h);
        for (auto& line : lines)
            if (!line.empty() && line.back().second == w - 1 && random() % 2) line.back().second = w;
        std::vector<uint8_t> inverted = image;
        for (auto& b : inverted) b = static_cast<uint8_t>(~b);
        const RunLines expected = runs_of(inverted, w, h);
        const std::vector<uint8_t> stream = stream_of(lines);
        SCOPED_TRACE(testing::Message() << w << "x" << h << ", image " << i);
        for (int times : {1, 2}) {
            VRX_DefaultManager m;
            VRX_Engine* last =
                StreamCreator(&m).engine(qmrle_format(w, h), &stream, 8 * (1 + random() % 6));
            for (int k = 0; k < times; ++k) last = VRX_Not(&m).engine(last);
            ASSERT_NE(last, nullptr);
            std::vector<uint8_t> out;
            ASSERT_TRUE(take_stream(m, last, out));
            RunLines got;
            ASSERT_TRUE(parse_stream(out, got));
            EXPECT_EQ(got, times == 1 ? expected : runs_of(image, w, h));
            EXPECT_TRUE(m.execute());
        }
    }
}

TEST(LogicalOperators, Refusals) {
    static const std::vector<uint8_t> zeros(1024, 0);
    auto and_of = [](Format a, Format b, int32_t x = 0, int32_t y = 0, bool mask = false) {
        return [=](VRX_Manager& m) {
            VRX_Engine* first = a.width ? read_memory(m, a, zeros) : nullptr;
            return !VRX_OpPixelsUnMasked<VRX_PixelOperator::And>(&m).engine(
                first, b.width ? read_memory(m, b, zeros) : nullptr,
                mask ? read_memory(m, b, zeros) : nullptr, x, y);
        };
    };
    // NOT of a source of `f` (none when its width is 0), run to its end.
    auto not_of = [](Format f, bool run_length_creator = false, RunLines lines = {{}}) {
        return [=, stream = stream_of(lines)](VRX_Manager& m) {
            VRX_Engine* source = !f.width ? nullptr
                                 : f.encode == VRX_EncodeType::raw()
                                     ? read_memory(m, f, zeros)
                                     : StreamCreator(&m).engine(f, &stream, 8);
            VRX_Engine* e = run_length_creator ? VRX_NotQMRLE(&m).engine(source)
                                               : VRX_Not(&m).engine(source);
            std::vector<uint8_t> out;
            return !e || !take_stream(m, e, out);
        };
    };
    const auto* u = VRX_DataType::u_integer();
    const auto* s = VRX_DataType::s_integer();
    const auto* f = VRX_DataType::floating();
    const auto* any = VRX_DataType::unknown();
    auto img = [](uint16_t bits, const VRX_DataType* type, uint16_t channels = 1) {
        return image_format(4, 2, bits, channels, type);
    };
    Format none = img(8, u);
    none.width = 0;
    Format rle8 = qmrle_format(10, 1);
    rle8.bits = 8;
    const char* opp = "VRX_OpPixels<OPBin>::engine()";
    const char* create = "VRX_OpPixelsUnMasked<OPBin, DataType>::create_engine()";
    const char* notrle = "VRX_NotQMRLEEngine::initiate()";
    expect_refusals({
        {"AND: no first image", and_of(none, img(8, u)), 0x80800000, opp, 134},
        {"AND: no second image", and_of(img(8, u), none), 0x80800000, opp, 134},
        {"AND: 8-bit signed", and_of(img(8, s), img(8, s)), 0x81000000, create, 96},
        {"AND: 8 bits, other type", and_of(img(8, any), img(8, any)), 0x81000000, create, 100},
        {"AND: 16-bit signed", and_of(img(16, s), img(16, s)), 0x81000000, create, 121},
        {"AND: 16 bits, other type", and_of(img(16, any), img(16, any)), 0x81000000, create, 125},
        {"AND: 32-bit unsigned", and_of(img(32, u), img(32, u)), 0x81000000, create, 146},
        {"AND: 32-bit signed", and_of(img(32, s), img(32, s)), 0x81000000, create, 162},
        {"AND: 32-bit float", and_of(img(32, f), img(32, f)), 0x81000000, create, 178},
        {"AND: 32 bits, other type", and_of(img(32, any), img(32, any)), 0x81000000, create, 182},
        {"AND: 64-bit float", and_of(img(64, f), img(64, f)), 0x81000000, create, 200},
        {"AND: 64 bits, other type", and_of(img(64, any), img(64, any)), 0x81000000, create, 204},
        {"AND: 12 bits", and_of(img(12, any), img(12, any)), 0x81000000, create, 207},
        {"AND: 2 bits", and_of(img(2, u), img(2, u)), 0x81000000, create, 207},
        {"AND: a mask, 8 bits", and_of(img(8, u), img(8, u), 0, 0, true), 0x80800000,
         "VRX_OpPixels8xNBits::engine()", 131},
        {"AND: a mask, 1 bit", and_of(img(1, u), img(1, u), 1, 1, true), 0x80800000,
         "VRX_OpPixels1::engine()", 58},
        {"AND: 8 and 16 bits", and_of(img(8, u), img(16, u), -1, 0), 0x81000000,
         "VRX_OpPixelsEngine::initiate()", 59},
        {"AND: 1 bit, 2 channels", and_of(img(1, u, 2), img(1, u, 2)), 0x81000000,
         "VRX_OpPixels1Engine::initiate()", 74},
        {"AND: fitted past the right edge, no wrap",
         [&](VRX_Manager& m) {
             VRX_Vector<VRX_Engine*> inputs(&m);
             inputs.push_back(read_memory(m, img(8, u), zeros));
             inputs.push_back(read_memory(m, img(8, u), zeros));
             uint32_t x = 0, y = 0;
             return !VRX_OpPixelsUnMasked<VRX_PixelOperator::And>(&m).fit_inputs(inputs, 9, 0, x,
                                                                                  y);
         },
         0x80800000, "VRX_CropWidthEngine::initiate()", 56},
        {"AND: an image with itself, overlapping",
         [](VRX_Manager& m) {
             VRX_Engine* image = read_memory(m, image_format(4, 2, 8), zeros);
             return !VRX_And(&m).engine(image, image, 1, 1);
         },
         0x80080000, "VRX_DstBufferImpl::create_src_buffer()", 0},
        {"NOT: no source", not_of(none), 0x80800000, "VRX_Not::engine()", 47},
        {"run-length NOT: no source", not_of(none, true), 0x80800000, "VRX_NotQMRLE::engine()", 61},
        {"run-length NOT: raw image", not_of(img(1, u), true), 0x81000000, notrle, 104},
        {"run-length NOT: 8 bits", not_of(rle8), 0x81000000, notrle, 104},
        {"run-length NOT: width past the run block", not_of(qmrle_format(0xFFFFFFFFu, 1)),
         0x80800000, notrle, 0},
        {"run-length NOT: reversed run", not_of(qmrle_format(10, 1), false, {{{6, 4}}}), 0x80400000,
         "VRX_QMRLEBuffer::regist_runarray()", 183},
        {"run-length NOT: overlapping runs", not_of(qmrle_format(10, 1), false, {{{2, 5}, {5, 7}}}),
         0x80400000, "VRX_QMRLEBuffer::regist_runarray()", 183},
        {"run-length NOT: run past the width", not_of(qmrle_format(10, 1), false, {{{3, 11}}}),
         0x80400000, "VRX_QMRLEBuffer::regist_runarray()", 183},
    });
}

// Images that do not overlap give back the first one and end the second
// (its memory comes back at once); an image given as both stays.
TEST(AndImages, NoOverlapEndsTheSecondImage) {
    vrx_test::TestManager m;
    const std::vector<uint8_t> bytes(100 * 100, 7);
    VRX_Engine* first = read_memory(m, image_format(100, 100, 8), bytes);
    const int64_t before = m.memory_manager().outstanding();
    VRX_Engine* second = read_memory(m, image_format(100, 100, 8), bytes);
    EXPECT_EQ(VRX_And(&m).engine(first, second, 100, 0), first);
    EXPECT_EQ(m.memory_manager().outstanding(), before);
    EXPECT_EQ(VRX_And(&m).engine(first, first, 0, -100), first);
    std::vector<uint8_t> out;
    ASSERT_TRUE(take_lines(first, out));
    EXPECT_EQ(out, bytes);
    EXPECT_TRUE(m.execute());
}

// Every allocation of an AND with crops on both sides and of a run-length
// NOT made to fail in turn: no crash, no leak, no success after a failure.
TEST(LogicalOperators, AllocationFailures) {
    std::mt19937 random(5);
    const Format fa = image_format(12, 5, 8), fb = image_format(9, 4, 8);
    const std::vector<uint8_t> a = iotest::random_bytes(random, 60);
    const std::vector<uint8_t> b = iotest::random_bytes(random, 36);
    bool covered = false;
    const std::vector<uint8_t> anded = and_reference(a, fa, b, fb, -3, 2, covered);
    EXPECT_GT(vrx_test::sweep_allocation_failures("and", 5000, [&](vrx_test::TestManager& m) {
        VRX_Engine* e = VRX_And(&m).engine(read_memory(m, fa, a), read_memory(m, fb, b), -3, 2);
        std::vector<uint8_t> out;
        return e && take_lines(e, out) && out == anded;
    }), 20u);
    const std::vector<uint8_t> stream = stream_of({{{2, 4}, {7, 7}}, {}, {{0, 9}}});
    const RunLines inverted = {{{0, 1}, {5, 6}, {8, 9}}, {{0, 9}}, {}};
    EXPECT_GT(vrx_test::sweep_allocation_failures("not", 5000, [&](vrx_test::TestManager& m) {
        VRX_Engine* e = VRX_Not(&m).engine(read_memory(m, qmrle_format(10, 3), stream));
        std::vector<uint8_t> out;
        RunLines got;
        return e && take_stream(m, e, out) && parse_stream(out, got) && got == inverted;
    }), 20u);
}

}  // namespace
