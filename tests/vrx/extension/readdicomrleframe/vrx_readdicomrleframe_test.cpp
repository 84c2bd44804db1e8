// DICOM RLE frames: segment tables, PackBits runs across row and block ends,
// the byte planes merged back into samples, and malformed frames refused.
#include "vrx/extension/readdicomrleframe/vrx_readdicomrleframe.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/vrx/core/storage/vrx_pixelread_test_support.h"
#include "vrx/core/storage/vrx_readstorage.h"
#include "vrx/extension/readdicomrleframe/vrx_decodepackbitsfast.h"
#include "vrx/extension/readdicomrleframe/vrx_readdicomrlesegment.h"
#include "vrx/framework/engine/vrx_engine.h"

namespace {

using namespace vrx;
using namespace pixeltest;
using vrx_test::TestManager;

// Decodes `frame` (at `position` of `stored`) under a header of the given shape.
Bytes decode(TestManager& manager, const Bytes& stored, int32_t position, uint32_t width,
             uint32_t height, uint16_t bits, uint16_t channels, const VRX_ColorType* color,
             uint32_t length, Shape* shape = nullptr) {
    VRX_Header header(&manager);
    describe(header, width, height, bits, channels, color, VRX_DataType::u_integer(),
             VRX_EncodeType::pack_bits());
    VRX_InputStorage* storage = storage_over(manager, stored);
    if (!storage || !storage->seek_from_begin(position)) return {};
    VRX_Engine* engine = VRX_ReadDICOMRLEFrame(&manager).engine(storage, header, length);
    storage->destroy();
    if (shape) *shape = shape_of(engine);
    return drain(manager, engine);
}

Bytes decode_gray8(TestManager& manager, const Bytes& frame, uint32_t width, uint32_t height) {
    return decode(manager, frame, 0, width, height, 8, 1, VRX_ColorType::gray(),
                  static_cast<uint32_t>(frame.size()));
}

Bytes random_pixels(std::mt19937& random, size_t n, bool with_runs) {
    Bytes out;
    while (out.size() < n) {
        const unsigned char value = static_cast<unsigned char>(random());
        const size_t run = with_runs && random() % 3 == 0 ? 1 + random() % 300 : 1;
        out.insert(out.end(), std::min(run, n - out.size()), value);
    }
    return out;
}

struct ShapeCase {
    const char* name;
    uint32_t width, height;
    uint16_t bits, channels;
    bool with_runs;
};

class RLEFrameShapes : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(RLEFrameShapes, DecodesToTheEncodedSamples) {
    const ShapeCase& c = GetParam();
    std::mt19937 random(c.width * 131 + c.bits);
    const uint32_t bytes = c.bits / 8u;
    const Bytes pixels =
        random_pixels(random, size_t{c.width} * c.height * c.channels * bytes, c.with_runs);
    const Bytes frame = rle_frame(pixels, c.channels, bytes);
    TestManager manager;
    Shape shape;
    const VRX_ColorType* color = c.channels == 3 ? VRX_ColorType::s_rgb() : VRX_ColorType::gray();
    const Bytes out = decode(manager, frame, 0, c.width, c.height, c.bits, c.channels, color,
                             static_cast<uint32_t>(frame.size()), &shape);
    ASSERT_TRUE(shape.valid);
    EXPECT_EQ(shape.bits, c.bits);
    EXPECT_EQ(shape.channels, c.channels);
    EXPECT_EQ(shape.color, color);
    EXPECT_TRUE(shape.raw);
    EXPECT_EQ(out, pixels);
    EXPECT_TRUE(is_clean(manager));
}

INSTANTIATE_TEST_SUITE_P(
    Frames, RLEFrameShapes,
    ::testing::Values(
        ShapeCase{"gray8_1x1", 1, 1, 8, 1, false},
        ShapeCase{"gray8_runs_across_blocks", 300, 200, 8, 1, true},
        ShapeCase{"gray8_literals_across_blocks", 257, 61, 8, 1, false},
        ShapeCase{"gray16", 33, 17, 16, 1, true}, ShapeCase{"rgb8", 5, 3, 8, 3, false},
        ShapeCase{"rgb8_runs", 130, 90, 8, 3, true}, ShapeCase{"rgb16", 31, 7, 16, 3, true},
        ShapeCase{"gray32", 9, 9, 32, 1, false}, ShapeCase{"rgb32", 7, 5, 32, 3, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RLEFrame, SixteenBitSamplesAreHighByteSegmentThenLowByteSegment) {
    // Segment 1: high bytes 12 AB; segment 2: low bytes 34 CD.
    const Bytes frame = rle_frame_of_segments({{1, 0x12, 0xAB}, {1, 0x34, 0xCD}});
    TestManager manager;
    const Bytes out = decode(manager, frame, 0, 2, 1, 16, 1, VRX_ColorType::gray(),
                             static_cast<uint32_t>(frame.size()));
    EXPECT_EQ(out, (Bytes{0x34, 0x12, 0xCD, 0xAB}));
}

TEST(RLEFrame, RgbPlanesComeOutInterleaved) {
    const Bytes frame = rle_frame_of_segments({{1, 10, 11}, {1, 20, 21}, {1, 30, 31}});
    TestManager manager;
    const Bytes out = decode(manager, frame, 0, 2, 1, 8, 3, VRX_ColorType::s_rgb(),
                             static_cast<uint32_t>(frame.size()));
    EXPECT_EQ(out, (Bytes{10, 20, 30, 11, 21, 31}));
}

TEST(RLEFrame, PaletteColourFrameKeepsItsPaletteForTheChain) {
    const Bytes frame = rle_frame_of_segments({{0x01, 0, 1}});
    TestManager manager;
    VRX_Header header(&manager);
    describe(header, 2, 1, 8, 1, VRX_ColorType::s_rgb(), VRX_DataType::u_integer(),
             VRX_EncodeType::pack_bits());
    header.palette().bits = 8;
    header.palette().channels = 3;
    header.palette().entries = 2;
    const unsigned char entries[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(header.palette().value(entries, sizeof entries));
    VRX_InputStorage* storage = storage_over(manager, frame);
    VRX_Engine* engine = VRX_ReadDICOMRLEFrame(&manager).engine(
        storage, header, static_cast<uint32_t>(frame.size()));
    storage->destroy();
    const Shape shape = shape_of(engine);
    EXPECT_EQ(shape.palette_entries, 2u);
    EXPECT_EQ(shape.color, VRX_ColorType::s_rgb());
    EXPECT_TRUE(shape.raw);
    EXPECT_EQ(drain(manager, engine), (Bytes{0, 1}));
    EXPECT_TRUE(is_clean(manager));
}

struct RunCase {
    const char* name;
    uint32_t width, height;
    Bytes segment;
    Bytes expected;
};

class PackBitsRuns : public ::testing::TestWithParam<RunCase> {};

TEST_P(PackBitsRuns, DecodeAsTheSchemeSays) {
    const RunCase& c = GetParam();
    TestManager manager;
    EXPECT_EQ(decode_gray8(manager, rle_frame_of_segments({c.segment}), c.width, c.height),
              c.expected);
    EXPECT_TRUE(is_clean(manager));
}

INSTANTIATE_TEST_SUITE_P(
    Segments, PackBitsRuns,
    ::testing::Values(
        // A repeat of 5 starting 3 bytes before the row end: 3 there, 2 on the next row.
        RunCase{"repeat_across_row_end",
                4,
                2,
                {0x00, 10, 0xFC, 20, 0x01, 30, 40},
                {10, 20, 20, 20, 20, 20, 30, 40}},
        // A literal of 6 over rows of 2: the carry outlasts a whole row.
        RunCase{"literal_longer_than_two_rows", 2, 3, {0x05, 1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}},
        // -128 is a no-op, wherever it stands.
        RunCase{"control_minus_128", 3, 1, {0x80, 0x00, 7, 0x80, 0xFF, 9}, {7, 9, 9}},
        // The longest repeat (-127: 128 bytes) and the longest literal (127: 128 bytes).
        RunCase{"longest_runs", 128, 2,
                [] {
                    Bytes s = {0x81, 5, 0x7F};
                    for (int i = 0; i < 128; ++i) s.push_back(static_cast<unsigned char>(i));
                    return s;
                }(),
                [] {
                    Bytes e(128, 5);
                    for (int i = 0; i < 128; ++i) e.push_back(static_cast<unsigned char>(i));
                    return e;
                }()},
        // Bytes beyond the frame's samples are left unread.
        RunCase{"surplus_decoded_bytes", 2, 1, {0xFD, 4, 0x02, 1, 2, 3}, {4, 4}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadFrameCase {
    const char* name;
    uint16_t bits, channels;
    Bytes frame;
    uint32_t code;
    const char* function;
};

Bytes frame_with(uint32_t count, std::vector<uint32_t> offsets, size_t total) {
    Bytes frame(total, 0);
    put32(frame, 0, count);
    for (size_t i = 0; i < offsets.size(); ++i) put32(frame, 4 + 4 * i, offsets[i]);
    return frame;
}

class RLEBadFrames : public ::testing::TestWithParam<BadFrameCase> {};

TEST_P(RLEBadFrames, AreRefusedWithAClearStatus) {
    const BadFrameCase& c = GetParam();
    TestManager manager;
    const VRX_ColorType* color = c.channels == 3 ? VRX_ColorType::s_rgb() : VRX_ColorType::gray();
    const Bytes out = decode(manager, c.frame, 0, 4, 2, c.bits, c.channels, color,
                             static_cast<uint32_t>(c.frame.size()));
    EXPECT_TRUE(out.size() < size_t{4} * 2 * c.channels * ((c.bits + 7) / 8));
    EXPECT_TRUE(has_status(manager, c.code, c.function));
}

constexpr const char* kSegmentText = "VRX_ReadDICOMRLESegment::engine()";

INSTANTIATE_TEST_SUITE_P(
    Frames, RLEBadFrames,
    ::testing::Values(
        BadFrameCase{"sixteen_segments", 8, 1, frame_with(16, {64}, 80), VRX_ERROR_DATA,
                     kSegmentText},
        BadFrameCase{"first_offset_not_64", 8, 1, frame_with(1, {60}, 80), VRX_ERROR_DATA,
                     kSegmentText},
        BadFrameCase{"count_not_channels_times_bytes", 16, 1, frame_with(1, {64}, 80),
                     VRX_ERROR_DATA, kSegmentText},
        BadFrameCase{"no_segment", 8, 1, frame_with(0, {64}, 80), VRX_ERROR_DATA, kSegmentText},
        BadFrameCase{"equal_offsets", 8, 3, frame_with(3, {64, 70, 70}, 90), VRX_ERROR_DATA,
                     kSegmentText},
        BadFrameCase{"offsets_going_back", 8, 3, frame_with(3, {64, 80, 72}, 90), VRX_ERROR_DATA,
                     kSegmentText},
        BadFrameCase{"offset_past_the_frame", 8, 3, frame_with(3, {64, 70, 200}, 90),
                     VRX_ERROR_DATA, kSegmentText},
        BadFrameCase{"offset_past_the_storage", 8, 3, frame_with(3, {64, 70, 0x7FFFFFF0}, 90),
                     VRX_ERROR_DATA, kSegmentText},
        BadFrameCase{"table_cut_short", 8, 1, frame_with(1, {64}, 40), VRX_ERROR_IO, kSegmentText},
        // A valid 1-bit frame: one segment of a repeated byte (8 pixels set).
        BadFrameCase{"one_bit_samples", 1, 1,
                     [] {
                         Bytes f = frame_with(1, {64}, 64);
                         f.insert(f.end(), {0x00, 0xFF});
                         return f;
                     }(),
                     VRX_ERROR_UNSUPPORTED, kSegmentText},
        // 8 samples wanted, the segment holds a repeat of 3 and ends.
        BadFrameCase{"segment_ends_early", 8, 1,
                     [] {
                         Bytes f = frame_with(1, {64}, 64);
                         f.insert(f.end(), {0xFE, 1});
                         return f;
                     }(),
                     VRX_ERROR_DATA, "VRX_DecodePackBitsFastEngine::execute()"},
        // A literal whose bytes the segment does not hold.
        BadFrameCase{"literal_cut_short", 8, 1,
                     [] {
                         Bytes f = frame_with(1, {64}, 64);
                         f.insert(f.end(), {0x07, 1, 2});
                         return f;
                     }(),
                     VRX_ERROR_DATA, "VRX_DecodePackBitsFastEngine::execute()"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RLEFrame, TableCutShortLeavesTheStorageAtTheFrameStart) {
    TestManager manager;
    const Bytes stored = frame_with(1, {64}, 40);
    VRX_Header header(&manager);
    describe(header, 2, 2, 8, 1, VRX_ColorType::gray(), VRX_DataType::u_integer(),
             VRX_EncodeType::pack_bits());
    VRX_InputStorage* storage = storage_over(manager, stored);
    storage->seek_from_begin(4);
    EXPECT_TRUE(VRX_ReadDICOMRLESegment(&manager).engine(storage, header, 36).empty());
    EXPECT_EQ(storage->position(), 4);
    EXPECT_TRUE(has_status(manager, VRX_ERROR_IO, kSegmentText));
    storage->destroy();
}

TEST(RLEFrame, RefusesAMissingStorageOrAnInvalidHeader) {
    {
        TestManager manager;
        VRX_Header header(&manager);
        describe(header, 2, 2, 8, 1, VRX_ColorType::gray());
        EXPECT_EQ(VRX_ReadDICOMRLEFrame(&manager).engine(nullptr, header, 100), nullptr);
        EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_ReadDICOMRLEFrame::engine()"));
    }
    {
        TestManager manager;
        const Bytes stored = rle_frame_of_segments({{0xFD, 1}});
        VRX_Header header(&manager);  // width 0
        VRX_InputStorage* storage = storage_over(manager, stored);
        EXPECT_EQ(VRX_ReadDICOMRLEFrame(&manager).engine(storage, header, 100), nullptr);
        EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_ReadDICOMRLEFrame::engine()"));
        EXPECT_TRUE(VRX_ReadDICOMRLESegment(&manager).engine(storage, header, 100).empty());
        storage->destroy();
    }
}

TEST(RLEFrame, FrameFoundAtItsPositionAmongOthers) {
    std::mt19937 random(7);
    const Bytes first = rle_frame(random_pixels(random, 6 * 4 * 3, true), 3, 1);
    const Bytes pixels = random_pixels(random, 6 * 4 * 3, true);
    const Bytes second = rle_frame(pixels, 3, 1);
    Bytes stored = {0xEE, 0xEE, 0xEE};
    stored.insert(stored.end(), first.begin(), first.end());
    const auto at = static_cast<int32_t>(stored.size());
    stored.insert(stored.end(), second.begin(), second.end());
    stored.insert(stored.end(), first.begin(), first.end());
    TestManager manager;
    EXPECT_EQ(decode(manager, stored, at, 6, 4, 8, 3, VRX_ColorType::s_rgb(),
                     static_cast<uint32_t>(second.size())),
              pixels);
    EXPECT_TRUE(is_clean(manager));
}

TEST(RLESegment, GivesOneEightBitDecoderPerSegmentInOrder) {
    const Bytes frame = rle_frame_of_segments({{0xFD, 1}, {0xFD, 2}, {0xFD, 3}, {0xFD, 4}});
    TestManager manager;
    VRX_Header header(&manager);
    describe(header, 2, 2, 16, 1, VRX_ColorType::gray(), VRX_DataType::u_integer(),
             VRX_EncodeType::pack_bits());
    header.channels = 2;
    header.color_type(VRX_ColorType::unknown());
    VRX_InputStorage* storage = storage_over(manager, frame);
    VRX_Vector<VRX_Engine*> segments = VRX_ReadDICOMRLESegment(&manager).engine(
        storage, header, static_cast<uint32_t>(frame.size()));
    storage->destroy();
    ASSERT_EQ(segments.size(), 4u);
    for (size_t i = 0; i < segments.size(); ++i) {
        const VRX_Header* h = segments[i]->header();
        EXPECT_EQ(h->bits, 8);
        EXPECT_EQ(h->channels, 1);
        EXPECT_EQ(h->color_type(), VRX_ColorType::gray());
        EXPECT_TRUE(h->encode_type()->is_raw());
        EXPECT_EQ(drain(manager, segments[i]), Bytes(4, static_cast<unsigned char>(i + 1)));
    }
    EXPECT_TRUE(is_clean(manager));
}

TEST(DecodePackBitsFast, PassesRawSourcesAndRefusesWhatItCannotDecode) {
    TestManager manager;
    EXPECT_EQ(VRX_DecodePackBitsFast(&manager).engine(nullptr), nullptr);
    EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_DecodePackBitsFast::engine()"));
    EXPECT_EQ(VRX_DecodePackBitsFast(&manager).encode_type(), VRX_EncodeType::pack_bits());

    TestManager second;
    const Bytes stored(64, 1);
    VRX_Header header(&second);
    describe(header, 8, 8, 8, 1, VRX_ColorType::gray());
    VRX_InputStorage* storage = storage_over(second, stored);
    VRX_Engine* raw = VRX_ReadStorage(&second).engine(storage, header, 0, 0, 1);
    EXPECT_EQ(VRX_DecodePackBitsFast(&second).engine(raw), raw);

    describe(header, 8, 8, 8, 1, VRX_ColorType::gray(), VRX_DataType::u_integer(),
             VRX_EncodeType::jpeg());
    VRX_Engine* jpeg = VRX_ReadStorage(&second).engine(storage, header, 0, 0, 1);
    ASSERT_NE(jpeg, nullptr);
    EXPECT_EQ(VRX_DecodePackBitsFast(&second).engine(jpeg), nullptr);
    EXPECT_TRUE(
        has_status(second, VRX_ERROR_UNSUPPORTED, "VRX_DecodePackBitsFastEngine::initiate()"));
    storage->destroy();
}

TEST(RLEFrame, EveryFailedAllocationEndsCleanly) {
    std::mt19937 random(3);
    const Bytes pixels = random_pixels(random, 40 * 30 * 3 * 2, true);
    const Bytes frame = rle_frame(pixels, 3, 2);
    bool succeeded = false;
    for (uint64_t n = 1; n < 400 && !succeeded; ++n) {
        TestManager manager;
        const int64_t held = manager.memory_manager().outstanding();
        manager.memory_manager().fail_at(n);
        const Bytes out = decode(manager, frame, 0, 40, 30, 16, 3, VRX_ColorType::s_rgb(),
                                 static_cast<uint32_t>(frame.size()));
        if (manager.memory_manager().failures() == 0) {
            succeeded = true;
            EXPECT_EQ(out, pixels);
        } else if (out != pixels) {
            // Some memory is only a help (read-ahead); a failure elsewhere is reported.
            EXPECT_NE(manager.status().code, 0u) << "allocation " << n;
        }
        VRX_Status status(&manager);
        manager.execute(status);
        EXPECT_EQ(manager.memory_manager().outstanding(), held) << "allocation " << n;
    }
    EXPECT_TRUE(succeeded);
}

}  // namespace
