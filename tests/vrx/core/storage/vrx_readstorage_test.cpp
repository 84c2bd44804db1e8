// The raw storage reader: lines with byte order and gaps, blocks of an
// encoded stream, and its refusals.
#include "vrx/core/storage/vrx_readstorage.h"

#include <gtest/gtest.h>

#include "tests/vrx/core/storage/vrx_pixelread_test_support.h"
#include "vrx/core/storage/vrx_wordswapinputstorage.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/engine/vrx_engine.h"

namespace {

using namespace vrx;
using namespace pixeltest;
using vrx_test::TestManager;

struct OrderCase {
    const char* name;
    uint16_t bits;
    const VRX_DataType* type;
    int32_t byte_order;
    Bytes expected;  // of the stored bytes 01 02 03 04 05 06 07 08
};

class ReadStorageOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(ReadStorageOrder, SwapsEverySampleOfTwoOrMoreBytesUnlessOrderIsOne) {
    const OrderCase& c = GetParam();
    TestManager manager;
    const Bytes stored = {1, 2, 3, 4, 5, 6, 7, 8};
    VRX_Header header(&manager);
    describe(header, 64 / c.bits, 1, c.bits, 1, VRX_ColorType::gray(), c.type);
    VRX_InputStorage* storage = storage_over(manager, stored);
    VRX_Engine* reader = VRX_ReadStorage(&manager).engine(storage, header, 0, 0, c.byte_order);
    storage->destroy();
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(drain(manager, reader), c.expected);
    EXPECT_TRUE(is_clean(manager));
}

INSTANTIATE_TEST_SUITE_P(
    Samples, ReadStorageOrder,
    ::testing::Values(
        OrderCase{"u8_swapped", 8, VRX_DataType::u_integer(), 0, {1, 2, 3, 4, 5, 6, 7, 8}},
        OrderCase{"u16_as_stored", 16, VRX_DataType::u_integer(), 1, {1, 2, 3, 4, 5, 6, 7, 8}},
        OrderCase{"u16_swapped", 16, VRX_DataType::u_integer(), 0, {2, 1, 4, 3, 6, 5, 8, 7}},
        OrderCase{"s16_other_order", 16, VRX_DataType::s_integer(), 7, {2, 1, 4, 3, 6, 5, 8, 7}},
        OrderCase{"u32_swapped", 32, VRX_DataType::u_integer(), 0, {4, 3, 2, 1, 8, 7, 6, 5}},
        OrderCase{"f64_swapped", 64, VRX_DataType::floating(), 0, {8, 7, 6, 5, 4, 3, 2, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadStorage, StartsAtThePositionAndSkipsTheGapBeforeEveryLineButTheFirst) {
    TestManager manager;
    // 2 header bytes, then lines of 3 bytes separated by 2 bytes of gap.
    const Bytes stored = {9, 9, 1, 2, 3, 0, 0, 4, 5, 6, 0, 0, 7, 8, 9};
    VRX_Header header(&manager);
    describe(header, 3, 3, 8, 1, VRX_ColorType::gray());
    VRX_InputStorage* storage = storage_over(manager, stored);
    VRX_Engine* reader = VRX_ReadStorage(&manager).engine(storage, header, 2, 2, 1);
    storage->destroy();
    EXPECT_EQ(drain(manager, reader), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_TRUE(is_clean(manager));
}

TEST(ReadStorage, RawStreamEndingInsideALineOrItsGapIsMalformed) {
    struct Case {
        const char* name;
        Bytes stored;
        uint32_t gap;
    };
    for (const Case& c :
         {Case{"inside a line", {1, 2, 3, 4, 5}, 0}, Case{"inside a gap", {1, 2, 3, 0}, 5}}) {
        TestManager manager;
        VRX_Header header(&manager);
        describe(header, 3, 2, 8, 1, VRX_ColorType::gray());
        VRX_InputStorage* storage = storage_over(manager, c.stored);
        VRX_Engine* reader = VRX_ReadStorage(&manager).engine(storage, header, 0, c.gap, 1);
        storage->destroy();
        EXPECT_LT(drain(manager, reader).size(), 6u) << c.name;
        EXPECT_TRUE(has_status(manager, VRX_ERROR_DATA, "VRX_ReadStorageEngine::execute()"))
            << c.name;
    }
}

TEST(ReadStorage, EncodedStreamIsHandedOnInBlocksUntilTheStorageEnds) {
    TestManager manager;
    Bytes stored(10000);
    for (size_t i = 0; i < stored.size(); ++i) stored[i] = static_cast<unsigned char>(i * 13);
    VRX_Header header(&manager);
    describe(header, 100, 100, 8, 1, VRX_ColorType::gray(), VRX_DataType::u_integer(),
             VRX_EncodeType::pack_bits());
    VRX_InputStorage* storage = storage_over(manager, stored);
    VRX_Engine* reader = VRX_ReadStorage(&manager).engine(storage, header, 0, 0, 1);
    storage->destroy();
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->header()->encode_type(), VRX_EncodeType::pack_bits());
    VRX_SrcBuffer* src = reader->src_buffer();
    ASSERT_NE(src, nullptr);
    std::vector<uint32_t> counts;
    Bytes got;
    for (;;) {
        uint32_t count = 0;
        const unsigned char* block = src->get(&count);
        if (!block) break;
        counts.push_back(count);
        got.insert(got.end(), block, block + count);
        src->release();
    }
    EXPECT_EQ(counts, (std::vector<uint32_t>{4096, 4096, 1808}));
    EXPECT_EQ(got, stored);
    src->destroy();
    EXPECT_TRUE(is_clean(manager));
}

TEST(ReadStorage, RefusesANegativePositionAndAMissingOrClosedStorage) {
    {
        TestManager manager;
        const Bytes stored = {1, 2, 3};
        VRX_Header header(&manager);
        describe(header, 3, 1, 8, 1, VRX_ColorType::gray());
        VRX_InputStorage* storage = storage_over(manager, stored);
        EXPECT_EQ(VRX_ReadStorage(&manager).engine(storage, header, -1, 0, 1), nullptr);
        storage->destroy();
        EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_ReadStorageEngine::initiate()"));
    }
    {
        TestManager manager;
        VRX_Header header(&manager);
        describe(header, 3, 1, 8, 1, VRX_ColorType::gray());
        EXPECT_EQ(VRX_ReadStorage(&manager).engine(nullptr, header, 0, 0, 1), nullptr);
        EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_ReadEngine::initiate()"));
    }
    {
        TestManager manager;
        const Bytes stored = {1, 2, 3};
        VRX_Header header(&manager);
        describe(header, 3, 1, 8, 1, VRX_ColorType::gray());
        VRX_InputStorage* storage = storage_over(manager, stored);
        storage->terminate();
        EXPECT_EQ(VRX_ReadStorage(&manager).engine(storage, header, 0, 0, 1), nullptr);
        storage->destroy();
        EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_ReadEngine::initiate()"));
    }
}

TEST(ReadStorage, KeepsTheStorageAliveAsLongAsTheReader) {
    TestManager manager;
    const int64_t held = manager.memory_manager().outstanding();
    const Bytes stored = {1, 2, 3, 4};
    VRX_Header header(&manager);
    describe(header, 2, 2, 8, 1, VRX_ColorType::gray());
    VRX_InputStorage* storage = storage_over(manager, stored);
    VRX_Engine* reader = VRX_ReadStorage(&manager).engine(storage, header, 0, 0, 1);
    storage->destroy();  // the reader's dependency keeps it
    EXPECT_EQ(drain(manager, reader), (Bytes{1, 2, 3, 4}));
    VRX_Status status(&manager);
    EXPECT_TRUE(manager.execute(status));
    EXPECT_EQ(manager.memory_manager().outstanding(), held);
}

}  // namespace

namespace {

// The framework's lines of a bit stream, least significant bit first, whose
// first sample is bit `first` of byte 0: bit by bit, first sample in the
// most significant bit, the padding 0.
Bytes model_lines(const Bytes& stream, uint32_t first, uint32_t width, uint32_t height) {
    const size_t line = (size_t{width} + 7) / 8;
    Bytes out(line * height, 0);
    for (size_t y = 0; y < height; ++y)
        for (size_t x = 0; x < width; ++x) {
            const size_t bit = first + y * width + x;
            if ((stream[bit / 8] >> (bit % 8)) & 1) out[y * line + x / 8] |= 0x80 >> (x % 8);
        }
    return out;
}

TEST(ReadStorageBitStream, RowsAreGatheredFromTheStreamFromAnyFirstBit) {
    Bytes stream(600);
    for (size_t i = 0; i < stream.size(); ++i) stream[i] = static_cast<uint8_t>(i * 151 + 7);
    for (uint32_t width : {1u, 3u, 7u, 8u, 9u, 15u, 16u, 17u, 510u, 512u})
        for (uint32_t first = 0; first < 8; ++first) {
            SCOPED_TRACE("width " + std::to_string(width) + " first bit " + std::to_string(first));
            const uint32_t height = std::min(5u, 4000 / width);
            // Exactly the bytes the image covers, from byte 2 on.
            const size_t bytes = (first + size_t{width} * height + 7) / 8;
            Bytes stored = {0xEE, 0xEE};
            stored.insert(stored.end(), stream.begin(), stream.begin() + bytes);
            TestManager manager;
            VRX_Header header(&manager);
            describe(header, width, height, 1, 1, VRX_ColorType::gray());
            VRX_InputStorage* storage = storage_over(manager, stored);
            VRX_Engine* reader =
                VRX_ReadStorage(&manager).bit_stream_engine(storage, header, 2, first);
            storage->destroy();
            EXPECT_EQ(drain(manager, reader), model_lines(stream, first, width, height));
            EXPECT_TRUE(is_clean(manager));
        }
}

TEST(ReadStorageBitStream, RefusesOtherImagesAndEndsAtAShortStream) {
    struct Case {
        const char* name;
        uint16_t bits, channels;
        uint32_t first;
        size_t stored;
        uint32_t code;
        const char* function;
    };
    const Case cases[] = {
        {"8-bit samples", 8, 1, 0, 64, VRX_ERROR_ARGUMENT, "VRX_ReadStorageEngine::initiate()"},
        {"two channels", 1, 2, 0, 64, VRX_ERROR_ARGUMENT, "VRX_ReadStorageEngine::initiate()"},
        {"first bit 8", 1, 1, 8, 64, VRX_ERROR_ARGUMENT, "VRX_ReadStorageEngine::initiate()"},
        {"one bit short", 1, 1, 3, 5, VRX_ERROR_DATA, "VRX_ReadStorageEngine::execute()"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestManager manager;
        const Bytes stored(c.stored, 0x5A);
        VRX_Header header(&manager);
        // 10 x 4 samples from bit 3 need 6 bytes.
        describe(header, 10, 4, c.bits, c.channels, VRX_ColorType::gray());
        VRX_InputStorage* storage = storage_over(manager, stored);
        drain(manager, VRX_ReadStorage(&manager).bit_stream_engine(storage, header, 0, c.first));
        storage->destroy();
        EXPECT_TRUE(has_status(manager, c.code, c.function));
    }
}

TEST(WordSwapInputStorage, ReadsEveryRangeWithTheBytesOfEachWordExchanged) {
    TestManager manager;
    const Bytes stored = {0, 1, 2, 3, 4, 5, 6};
    // Words from position 0; the odd last byte stays.
    const Bytes swapped = {1, 0, 3, 2, 5, 4, 6};
    VRX_InputStorage* bytes = storage_over(manager, stored);
    VRX_InputStorage* words = VRX_WordSwapInputStorage::create(&manager, bytes);
    bytes->destroy();
    ASSERT_NE(words, nullptr);
    for (int32_t at = 0; at <= 7; ++at)
        for (int32_t n = 0; n <= 8; ++n) {
            ASSERT_TRUE(words->seek_from_begin(at));
            Bytes got(static_cast<size_t>(n), 0xFF);
            const int32_t read = words->read(got.data(), n);
            const int32_t expected = std::min(n, 7 - at);
            ASSERT_EQ(read, expected) << at << " " << n;
            got.resize(static_cast<size_t>(read));
            EXPECT_EQ(got, Bytes(swapped.begin() + at, swapped.begin() + at + expected));
            EXPECT_EQ(words->position(), at + expected);
        }
    ASSERT_TRUE(words->seek_from_begin(5));
    EXPECT_EQ(words->get(), 4);
    EXPECT_EQ(words->get(), 6);
    EXPECT_EQ(words->get(), -1);
    words->destroy();
    EXPECT_TRUE(is_clean(manager));
}

}  // namespace
