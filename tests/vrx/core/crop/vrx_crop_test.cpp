#include "vrx/core/crop/vrx_crop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "tests/vrx/core/memory/memory_chain.h"
#include "tests/vrx/core/qmrle/qmrle_support.h"
#include "vrx/core/crop/vrx_cropwidth1bitbs.h"
#include "vrx/core/crop/vrx_cropwidth1bitis.h"
#include "vrx/core/crop/vrx_cropwidth8xnbits.h"

namespace {

using namespace vrx;
using namespace vrx_pixel_test;
using namespace vrx_qmrle_test;

struct Rect {
    uint32_t x, y, width, height;
};

// The rectangle cut out of a packed image by bit slicing: rows y.., bits
// [x x C x bits, (x + width) x C x bits) of each row, padding bits 0.
std::vector<uint8_t> model_crop(const std::vector<uint8_t>& in, const Format& f, Rect r) {
    const uint64_t pixel_bits = uint64_t{f.channels} * f.bits;
    const size_t in_line = line_bytes(f);
    const uint32_t w = std::min(r.width, f.width - r.x), h = std::min(r.height, f.height - r.y);
    const size_t out_line = (w * pixel_bits + 7) / 8;
    std::vector<uint8_t> out(out_line * h);
    for (uint32_t row = 0; row < h; ++row)
        for (uint64_t bit = 0; bit < w * pixel_bits; ++bit) {
            const uint64_t from = r.x * pixel_bits + bit;
            if ((in[(r.y + row) * in_line + from / 8] >> (7 - from % 8)) & 1)
                out[row * out_line + bit / 8] |= static_cast<uint8_t>(0x80u >> (bit % 8));
        }
    return out;
}

// Crops random samples (padding bits 0) through the chain and compares the
// lines the crop leaves in its buffer, padding bits included, with the model.
void check_raw(const Format& f, Rect r, std::mt19937& random) {
    SCOPED_TRACE(testing::Message()
                 << f.width << "x" << f.height << " " << f.bits << " bits x " << f.channels
                 << ", crop " << r.x << "," << r.y << " " << r.width << "x" << r.height);
    const std::vector<uint8_t> in = model_crop(
        iotest::random_bytes(random, line_bytes(f) * f.height), f, {0, 0, f.width, f.height});
    VRX_DefaultManager m;
    VRX_Engine* source = read_memory(m, f, in);
    VRX_Engine* crop = VRX_Crop(&m).engine(source, r.x, r.y, r.width, r.height);
    ASSERT_NE(crop, nullptr);
    std::vector<uint8_t> out;
    ASSERT_TRUE(take_lines(crop, out));
    if (crop == source)
        EXPECT_EQ(out, in);
    else
        EXPECT_EQ(out, model_crop(in, f, r));
    EXPECT_NO_ERROR(m);
    EXPECT_TRUE(m.execute());
}

// 1-bit images of 1 and 3 channels at every bit offset of the first two
// bytes, with every width up to 17 pixels, on random rows.
TEST(Crop, PackedBitsAgainstTheBitModel) {
    std::mt19937 random(11);
    for (uint16_t channels : {1, 3})
        for (uint32_t x = 0; x <= 16; ++x)
            for (uint32_t width = 1; width <= 17; ++width) {
                const uint32_t w = x + 1 + random() % 40, h = 1 + random() % 5;
                const Format f = image_format(w, h, 1, channels);
                const uint32_t y = random() % f.height;
                check_raw(f, {x, y, width, 1 + static_cast<uint32_t>(random() % (f.height + 2))},
                          random);
            }
}

// Samples of 8 to 64 bits with random rectangles, rectangles past the edges
// and sizes of 0xFFFFFFFF.
TEST(Crop, SamplesAgainstTheBitModel) {
    struct Kind {
        uint16_t bits;
        const VRX_DataType* type;
    };
    const Kind kinds[] = {{8, VRX_DataType::u_integer()},  {8, VRX_DataType::s_integer()},
                          {16, VRX_DataType::u_integer()}, {16, VRX_DataType::s_integer()},
                          {32, VRX_DataType::u_integer()}, {32, VRX_DataType::floating()},
                          {64, VRX_DataType::floating()}};
    std::mt19937 random(12);
    for (const Kind& k : kinds)
        for (int i = 0; i < 40; ++i) {
            const uint32_t w = 1 + random() % 30, h = 1 + random() % 12;
            const auto channels = static_cast<uint16_t>(1 + random() % 4);
            const Format f = image_format(w, h, k.bits, channels, k.type);
            auto size = [&](uint32_t room) {
                const uint32_t pick = random() % 8;
                return pick == 0 ? 0xFFFFFFFFu : pick == 1 ? room + 3 : 1 + random() % room;
            };
            Rect r{static_cast<uint32_t>(random() % f.width),
                   static_cast<uint32_t>(random() % f.height), 0, 0};
            r.width = size(f.width - r.x);
            r.height = size(f.height - r.y);
            if (i == 0) r = {0, 0, f.width, 0xFFFFFFFFu};
            check_raw(f, r, random);
        }
}

// Random binary images as run-length streams, read in place and through a
// memory callback: the run-length crop, decoded, equals the packed crop.
TEST(Crop, RunLengthAgainstThePackedCrop) {
    std::mt19937 random(13);
    for (int i = 0; i < 300; ++i) {
        const uint32_t w = 1 + random() % 40, h = 1 + random() % 8;
        Format packed;
        packed.bits = 1;
        packed.width = w;
        packed.height = h;
        std::vector<uint8_t> image = iotest::random_bytes(random, line_bytes(packed) * h);
        if (i % 3 == 0)  // long runs as well as short ones
            for (auto& b : image) b = (random() % 2) ? 0xFF : b | 0xF0;
        std::vector<uint8_t> stream = stream_of(runs_of(image, w, h));
        Rect r{static_cast<uint32_t>(random() % w), static_cast<uint32_t>(random() % h),
               random() % 5 == 0 ? 0xFFFFFFFFu : 1 + static_cast<uint32_t>(random() % w),
               random() % 5 == 0 ? 0xFFFFFFFFu : 1 + static_cast<uint32_t>(random() % h)};
        SCOPED_TRACE(testing::Message() << w << "x" << h << ", crop " << r.x << "," << r.y << " "
                                        << r.width << "x" << r.height);
        VRX_DefaultManager m;
        VRX_Header header(&m);
        describe(header, qmrle_format(w, h));
        const uint32_t size = static_cast<uint32_t>(stream.size());
        vrx_test::Chunks chunks(stream.data(), size, 8 * (1 + random() % 5));
        VRX_Engine* source =
            i % 2 ? VRX_ReadMemory(&m).engine(&header, stream.data(), size)
                  : VRX_ReadMemory(&m).engine(&header, stream.data(), chunks.first_size(), nullptr,
                                              vrx_test::Chunks::next, &chunks);
        VRX_Engine* crop = VRX_Crop(&m).engine(source, r.x, r.y, r.width, r.height);
        ASSERT_NE(crop, nullptr);
        const uint32_t cw = crop->header()->width, ch = crop->header()->height;
        std::vector<uint8_t> out;
        ASSERT_TRUE(take_stream(m, crop, out));
        RunLines lines;
        ASSERT_TRUE(parse_stream(out, lines));
        ASSERT_EQ(lines.size(), ch);
        EXPECT_EQ(packed_of(lines, cw), model_crop(image, packed, r));
        EXPECT_EQ(stream_of(lines), out);
        EXPECT_TRUE(m.execute());
    }
}

// A warning recorded before the run-length crop runs does not end its image.
TEST(Crop, RunLengthCropGoesOnAfterAWarning) {
    const RunLines lines = {{{0, 3}}, {{2, 9}, {12, 14}}, {{6, 6}}, {}};
    std::vector<uint8_t> stream = stream_of(lines);
    VRX_DefaultManager m;
    VRX_Engine* crop = VRX_Crop(&m).engine(read_memory(m, qmrle_format(16, 4), stream), 5, 1, 3, 2);
    m.report(VRX_WARNING_DATA, "a warning", __FILE__, __LINE__);
    std::vector<uint8_t> out;
    ASSERT_TRUE(take_stream(m, crop, out));
    EXPECT_EQ(out, stream_of({{{0, 2}}, {{1, 1}}}));
}

TEST(Crop, Refusals) {
    Format rle = qmrle_format(20, 4);
    Format rle3 = rle;
    rle3.channels = 3;
    rle3.color = VRX_ColorType::s_rgb();
    struct Case {
        const char* name;
        Format format;
        Rect rect;
        uint32_t code;
        const char* function;
    };
    const Case table[] = {
        {"column past the image",
         image_format(100, 2, 8),
         {100, 0, 10, 2},
         VRX_ERROR_ARGUMENT,
         "VRX_CropWidthEngine::initiate()"},
        {"no columns",
         image_format(100, 2, 8),
         {3, 0, 0, 2},
         VRX_ERROR_ARGUMENT,
         "VRX_CropWidthEngine::initiate()"},
        {"row past the image",
         image_format(10, 5, 16),
         {0, 5, 10, 1},
         VRX_ERROR_ARGUMENT,
         "VRX_CropHeightEngine::initiate()"},
        {"no rows",
         image_format(10, 5, 16),
         {1, 1, 3, 0},
         VRX_ERROR_ARGUMENT,
         "VRX_CropHeightEngine::initiate()"},
        {"4-bit rows",
         image_format(10, 5, 4),
         {1, 1, 3, 2},
         VRX_ERROR_UNSUPPORTED,
         "VRX_CropHeightEngine::initiate()"},
        {"4-bit columns",
         image_format(10, 5, 4),
         {1, 0, 3, 5},
         VRX_ERROR_UNSUPPORTED,
         "VRX_CropWidth8xNBitsEngine::initiate()"},
        {"run-length column past the image",
         rle,
         {20, 0, 1, 1},
         VRX_ERROR_ARGUMENT,
         "VRX_CropQMRLEEngine::initiate()"},
        {"run-length without rows",
         rle,
         {0, 1, 1, 0},
         VRX_ERROR_ARGUMENT,
         "VRX_CropQMRLEEngine::initiate()"},
        {"run-length of three channels",
         rle3,
         {1, 1, 1, 1},
         VRX_ERROR_UNSUPPORTED,
         "VRX_CropQMRLEEngine::initiate()"},
    };
    std::vector<Refusal> refusals;
    for (const Case& c : table) {
        refusals.emplace_back(
            c.name,
            [c](VRX_Manager& m) {
                VRX_Engine* source = read_memory(m, c.format, zero_bytes());
                EXPECT_NE(source, nullptr);
                return VRX_Crop(&m).engine(source, c.rect.x, c.rect.y, c.rect.width, c.rect.height);
            },
            c.code, c.function);
    }
    expect_refusals(refusals);
}

// The column creators build their engine whatever the offset; the engines
// refuse what is not theirs.
TEST(Crop, ColumnCreatorsAndTheirEngines) {
    VRX_DefaultManager m;
    const std::vector<uint8_t> bytes(64);
    auto bits = [&] { return read_memory(m, image_format(16, 2, 1), bytes); };
    EXPECT_EQ(VRX_CropWidth1BitBS(&m).engine(bits(), 3, 4), nullptr);
    EXPECT_TRUE(
        iotest::reported(m, VRX_ERROR_UNSUPPORTED, "VRX_CropWidth1BitBSEngine::initiate()"));
    EXPECT_EQ(VRX_CropWidth1BitIS(&m).engine(bits(), 8, 4), nullptr);
    EXPECT_TRUE(
        iotest::reported(m, VRX_ERROR_UNSUPPORTED, "VRX_CropWidth1BitISEngine::initiate()"));
    EXPECT_EQ(VRX_CropWidth1BitIS(&m).engine(read_memory(m, image_format(16, 2, 8), bytes), 3, 4),
              nullptr);
    EXPECT_TRUE(iotest::reported(m, VRX_ERROR_UNSUPPORTED, "VRX_CropWidth1BitEngine::initiate()"));
    EXPECT_EQ(VRX_CropWidth8xNBits(&m).engine(bits(), 3, 4), nullptr);
    EXPECT_TRUE(
        iotest::reported(m, VRX_ERROR_UNSUPPORTED, "VRX_CropWidth8xNBitsEngine::initiate()"));
    const char* null_texts[] = {"VRX_CropWidth8xNBits::engine()", "VRX_CropWidth1BitBS::engine()",
                                "VRX_CropWidth1BitIS::engine()", "VRX_Crop::engine()"};
    EXPECT_EQ(VRX_CropWidth8xNBits(&m).engine(nullptr, 0, 1), nullptr);
    EXPECT_TRUE(iotest::reported(m, VRX_ERROR_ARGUMENT, null_texts[0]));
    EXPECT_EQ(VRX_CropWidth1BitBS(&m).engine(nullptr, 0, 1), nullptr);
    EXPECT_TRUE(iotest::reported(m, VRX_ERROR_ARGUMENT, null_texts[1]));
    EXPECT_EQ(VRX_CropWidth1BitIS(&m).engine(nullptr, 0, 1), nullptr);
    EXPECT_TRUE(iotest::reported(m, VRX_ERROR_ARGUMENT, null_texts[2]));
    EXPECT_EQ(VRX_Crop(&m).engine(nullptr, 0, 0, 1, 1), nullptr);
    EXPECT_TRUE(iotest::reported(m, VRX_ERROR_ARGUMENT, null_texts[3]));
}

}  // namespace
