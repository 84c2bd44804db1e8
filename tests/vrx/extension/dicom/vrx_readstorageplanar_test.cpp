// Planar native pixel data: planes read apart and interleaved into pixels.
#include "vrx/extension/dicom/vrx_readstorageplanar.h"

#include <gtest/gtest.h>

#include "tests/vrx/core/storage/vrx_pixelread_test_support.h"
#include "vrx/framework/engine/vrx_engine.h"

namespace {

using namespace vrx;
using namespace pixeltest;
using vrx_test::TestManager;

Bytes read_planar(TestManager& manager, const Bytes& stored, const VRX_Header& header,
                  int32_t position, int32_t byte_order, Shape* shape = nullptr) {
    VRX_InputStorage* storage = storage_over(manager, stored);
    VRX_Engine* engine =
        VRX_ReadStoragePlanar(&manager).engine(storage, header, position, 0, byte_order);
    storage->destroy();
    if (shape) *shape = shape_of(engine);
    return drain(manager, engine);
}

TEST(ReadStoragePlanar, InterleavesThePlanesInPlaneOrder) {
    TestManager manager;
    VRX_Header header(&manager);
    describe(header, 2, 1, 8, 3, VRX_ColorType::s_rgb());
    const Bytes stored = {10, 11, 20, 21, 30, 31};  // R0 R1 G0 G1 B0 B1
    Shape shape;
    EXPECT_EQ(read_planar(manager, stored, header, 0, 1, &shape), (Bytes{10, 20, 30, 11, 21, 31}));
    EXPECT_EQ(shape.channels, 3);
    EXPECT_EQ(shape.color, VRX_ColorType::s_rgb());
    EXPECT_TRUE(is_clean(manager));
}

TEST(ReadStoragePlanar, SwapsSixteenBitSamplesOfEveryPlaneFromAPosition) {
    TestManager manager;
    VRX_Header header(&manager);
    describe(header, 2, 2, 16, 3, VRX_ColorType::s_rgb());
    Bytes stored = {0xAA, 0xBB};  // not part of the frame
    for (unsigned c = 0; c < 3; ++c)
        for (unsigned p = 0; p < 4; ++p) {
            stored.push_back(static_cast<unsigned char>(c));       // high byte first
            stored.push_back(static_cast<unsigned char>(p * 16));  // low byte
        }
    Bytes expected;
    for (unsigned p = 0; p < 4; ++p)
        for (unsigned c = 0; c < 3; ++c) {
            expected.push_back(static_cast<unsigned char>(p * 16));
            expected.push_back(static_cast<unsigned char>(c));
        }
    EXPECT_EQ(read_planar(manager, stored, header, 2, 0), expected);
    EXPECT_TRUE(is_clean(manager));
}

TEST(ReadStoragePlanar, OneChannelIsASingleReaderKeepingItsColourType) {
    TestManager manager;
    VRX_Header header(&manager);
    describe(header, 3, 2, 8, 1, VRX_ColorType::gray_reverse());
    Shape shape;
    EXPECT_EQ(read_planar(manager, {1, 2, 3, 4, 5, 6}, header, 0, 1, &shape),
              (Bytes{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(shape.color, VRX_ColorType::gray_reverse());
}

TEST(ReadStoragePlanar, StorageEndingInsideTheLastPlaneFailsInThatPlanesReader) {
    TestManager manager;
    VRX_Header header(&manager);
    describe(header, 2, 2, 8, 3, VRX_ColorType::s_rgb());
    const Bytes stored = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};  // 12 needed
    EXPECT_LT(read_planar(manager, stored, header, 0, 1).size(), 12u);
    EXPECT_TRUE(has_status(manager, VRX_ERROR_DATA, "VRX_ReadStorageEngine::execute()"));
}

TEST(ReadStoragePlanar, PlaneStartingBeyondTheStorageFailsInItsReader) {
    TestManager manager;
    VRX_Header header(&manager);
    describe(header, 2, 2, 8, 3, VRX_ColorType::s_rgb());
    const Bytes stored = {1, 2, 3, 4, 5, 6, 7};
    EXPECT_TRUE(read_planar(manager, stored, header, 0, 1).empty());
    EXPECT_TRUE(has_status(manager, VRX_ERROR_DATA, "VRX_ReadStorageEngine::execute()"));
}

TEST(ReadStoragePlanar, RefusesBadArguments) {
    struct Case {
        const char* name;
        bool storage;
        void (*shape)(VRX_Header&);
        int32_t position;
    };
    const Case cases[] = {
        {"no storage", false,
         [](VRX_Header& h) { describe(h, 2, 2, 8, 3, VRX_ColorType::s_rgb()); }, 0},
        {"invalid header", true,
         [](VRX_Header& h) { describe(h, 0, 2, 8, 3, VRX_ColorType::s_rgb()); }, 0},
        {"encoded", true,
         [](VRX_Header& h) {
             describe(h, 2, 2, 8, 3, VRX_ColorType::s_rgb(), VRX_DataType::u_integer(),
                      VRX_EncodeType::pack_bits());
         },
         0},
        {"planes beyond any position", true,
         [](VRX_Header& h) { describe(h, 60000, 60000, 8, 3, VRX_ColorType::s_rgb()); }, 0},
        {"negative position", true,
         [](VRX_Header& h) { describe(h, 2, 2, 8, 3, VRX_ColorType::s_rgb()); }, -4},
    };
    const Bytes stored(64, 0);
    for (const Case& c : cases) {
        TestManager manager;
        VRX_Header header(&manager);
        c.shape(header);
        VRX_InputStorage* storage = c.storage ? storage_over(manager, stored) : nullptr;
        EXPECT_EQ(VRX_ReadStoragePlanar(&manager).engine(storage, header, c.position, 0, 1),
                  nullptr)
            << c.name;
        vrx::destroy(storage);
        EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_ReadStoragePlanar::engine()"))
            << c.name;
    }
}

}  // namespace
