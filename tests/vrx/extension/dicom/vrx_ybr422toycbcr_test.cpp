// YBR_FULL_422 expansion: line layouts of even and odd widths, the chroma
// means of every sample type, native 4:2:2 data read in its own line size.
#include "vrx/extension/dicom/vrx_ybr422toycbcr.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cstring>

#include "tests/vrx/core/storage/vrx_pixelread_test_support.h"
#include "vrx/extension/dicom/vrx_ybr422toycbcrengine.h"
#include "vrx/framework/engine/vrx_engine.h"

namespace {

using namespace vrx;
using namespace pixeltest;
using vrx_test::TestManager;

template <class T>
Bytes bytes_of(const std::vector<T>& values) {
    Bytes out(values.size() * sizeof(T));
    std::memcpy(out.data(), values.data(), out.size());
    return out;
}

// Native 4:2:2 samples of type T at the start of a storage, expanded.
template <class T>
std::vector<T> expand_native(TestManager& manager, const std::vector<T>& stored, uint32_t width,
                             uint32_t height, const VRX_DataType* type) {
    VRX_Header header(&manager);
    describe(header, width, height, sizeof(T) * 8, 3, VRX_ColorType::ycbcr(), type);
    const Bytes bytes = bytes_of(stored);
    VRX_InputStorage* storage = storage_over(manager, bytes);
    VRX_Engine* engine = VRX_YBR422ToYCbCr(&manager).engine(storage, header, 0, 1);
    storage->destroy();
    const Bytes out = drain(manager, engine);
    std::vector<T> values(out.size() / sizeof(T));
    if (!out.empty()) std::memcpy(values.data(), out.data(), out.size());
    return values;
}

TEST(YBR422, EvenWidthInterpolatesTheSecondPixelsChroma) {
    TestManager manager;
    const std::vector<uint8_t> out = expand_native<uint8_t>(
        manager, {10, 20, 100, 200, 30, 40, 110, 210}, 4, 1, VRX_DataType::u_integer());
    EXPECT_EQ(out, (std::vector<uint8_t>{10, 100, 200, 20, 105, 205, 30, 110, 210, 40, 110, 210}));
    EXPECT_TRUE(is_clean(manager));
}

TEST(YBR422, OddWidthEndsWithTheLastGroupsFirstPixel) {
    TestManager manager;
    const std::vector<uint8_t> out = expand_native<uint8_t>(
        manager, {10, 20, 100, 200, 30, 99, 110, 210, 1, 2, 3, 4, 5, 66, 7, 8}, 3, 2,
        VRX_DataType::u_integer());
    EXPECT_EQ(out, (std::vector<uint8_t>{10, 100, 200, 20, 105, 205, 30, 110, 210,  //
                                         1, 3, 4, 2, 5, 6, 5, 7, 8}));
    EXPECT_TRUE(is_clean(manager));
}

TEST(YBR422, WidthOneAndTwoUseTheirOwnChroma) {
    TestManager manager;
    EXPECT_EQ(expand_native<uint8_t>(manager, {9, 0, 50, 60}, 1, 1, VRX_DataType::u_integer()),
              (std::vector<uint8_t>{9, 50, 60}));
    EXPECT_EQ(expand_native<uint8_t>(manager, {9, 8, 50, 60}, 2, 1, VRX_DataType::u_integer()),
              (std::vector<uint8_t>{9, 50, 60, 8, 50, 60}));
}

template <class T>
class YBR422Types : public ::testing::Test {};

using SampleTypes = ::testing::Types<unsigned char, signed char, unsigned short, short,
                                     unsigned int, int, float, double>;
TYPED_TEST_SUITE(YBR422Types, SampleTypes);

template <class T>
const VRX_DataType* data_type_of() {
    if constexpr (std::is_floating_point_v<T>) return VRX_DataType::floating();
    if constexpr (std::is_signed_v<T>) return VRX_DataType::s_integer();
    return VRX_DataType::u_integer();
}

TYPED_TEST(YBR422Types, EveryTypeExpandsWithItsOwnMean) {
    using T = TypeParam;
    TestManager manager;
    const std::vector<T> in = {T(1), T(2), T(3), T(-5), T(7), T(8), T(4), T(6)};
    const std::vector<T> out = expand_native<T>(manager, in, 4, 1, data_type_of<T>());
    const std::vector<T> expected = {
        T(1), T(3), T(-5), T(2), ybr422_mean(T(3), T(4)), ybr422_mean(T(-5), T(6)), T(7), T(4),
        T(6), T(8), T(4),  T(6)};
    EXPECT_EQ(out, expected);
    EXPECT_TRUE(is_clean(manager));
}

TEST(YBR422, MeansTruncateAndNeverOverflow) {
    EXPECT_EQ(ybr422_mean<uint8_t>(255, 254), 254);
    EXPECT_EQ(ybr422_mean<uint16_t>(65535, 65535), 65535);
    EXPECT_EQ(ybr422_mean<uint32_t>(UINT32_MAX, UINT32_MAX - 2), UINT32_MAX - 1);
    EXPECT_EQ(ybr422_mean<uint32_t>(UINT32_MAX, UINT32_MAX), UINT32_MAX);
    EXPECT_EQ(ybr422_mean<uint32_t>(3, 0), 1u);
    EXPECT_EQ(ybr422_mean<int32_t>(INT32_MAX, INT32_MAX - 2), INT32_MAX - 1);
    EXPECT_EQ(ybr422_mean<int32_t>(INT32_MIN, INT32_MIN), INT32_MIN);
    EXPECT_EQ(ybr422_mean<int32_t>(INT32_MIN, INT32_MAX), 0);
    EXPECT_EQ(ybr422_mean<int32_t>(-3, 0), -1);  // toward zero
    EXPECT_EQ(ybr422_mean<int16_t>(-32768, -32767), -32767);
    EXPECT_EQ(ybr422_mean<signed char>(-128, 127), 0);
    EXPECT_EQ(ybr422_mean<float>(FLT_MAX, FLT_MAX), FLT_MAX);
    EXPECT_EQ(ybr422_mean<float>(1.0f, 2.0f), 1.5f);
    EXPECT_EQ(ybr422_mean<double>(DBL_MAX, DBL_MAX / 2), DBL_MAX * 0.75);
}

TEST(YBR422, ThirtyTwoBitSamplesNearTheTopAverageExactly) {
    TestManager manager;
    const uint32_t top = UINT32_MAX;
    const std::vector<uint32_t> out = expand_native<uint32_t>(
        manager, {1, 2, top, top - 1, 3, 4, top - 2, top - 5}, 4, 1, VRX_DataType::u_integer());
    EXPECT_EQ(out, (std::vector<uint32_t>{1, top, top - 1, 2, top - 1, top - 3, 3, top - 2, top - 5,
                                          4, top - 2, top - 5}));
}

TEST(YBR422, NativeSamplesAreSwappedByTheReaderForTheOtherByteOrder) {
    TestManager manager;
    VRX_Header header(&manager);
    describe(header, 2, 1, 16, 3, VRX_ColorType::ycbcr());
    const Bytes stored = {0, 1, 0, 2, 0, 3, 0, 4};  // big-endian 1 2 3 4
    VRX_InputStorage* storage = storage_over(manager, stored);
    VRX_Engine* engine = VRX_YBR422ToYCbCr(&manager).engine(storage, header, 0, 0);
    storage->destroy();
    EXPECT_EQ(drain(manager, engine), bytes_of<uint16_t>({1, 3, 4, 2, 3, 4}));
    EXPECT_TRUE(is_clean(manager));
}

TEST(YBR422, SourceFormSwapsSamplesItselfForTheOtherByteOrder) {
    TestManager manager;
    VRX_Header header(&manager);
    describe(header, 3, 2, 16, 3, VRX_ColorType::ycbcr());
    // Lines of 4:2:2 samples under the expanded header, as a decoder gives them.
    const std::vector<Bytes> lines = {{0, 1, 0, 9, 0, 2, 0, 3, 0, 4, 0, 9, 0, 6, 0, 7},
                                      {1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0}};
    VRX_Engine* feed = FeedCreator(&manager).engine(&header, &lines);
    VRX_Engine* engine = VRX_YBR422ToYCbCr(&manager).engine(feed, 0);
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(drain(manager, engine),
              bytes_of<uint16_t>({1, 2, 3, 9, 4, 5, 4, 6, 7,  //
                                  256, 768, 1024, 512, 1280, 1536, 1280, 1792, 2048}));
    EXPECT_TRUE(is_clean(manager));
}

TEST(YBR422, RefusesSourcesItCannotExpand) {
    {
        TestManager manager;
        EXPECT_EQ(VRX_YBR422ToYCbCr(&manager).engine(nullptr, 1), nullptr);
        EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_YBR422ToYCbCr::engine()"));
    }
    struct Case {
        const char* name;
        uint16_t channels;
        bool palette;
    };
    for (const Case& c : {Case{"one channel", 1, false}, Case{"palette", 1, true}}) {
        TestManager manager;
        VRX_Header header(&manager);
        describe(header, 4, 1, 16, c.channels, VRX_ColorType::gray());
        if (c.palette) {
            header.palette().bits = 16;
            header.palette().channels = 3;
            header.palette().entries = 2;
            const uint16_t entries[6] = {};
            header.palette().value(entries, sizeof entries);
            header.color_type(VRX_ColorType::s_rgb());
        }
        const std::vector<Bytes> lines = {Bytes(8, 0)};
        VRX_Engine* feed = FeedCreator(&manager).engine(&header, &lines);
        ASSERT_NE(feed, nullptr) << c.name;
        EXPECT_EQ(VRX_YBR422ToYCbCr(&manager).engine(feed, 1), nullptr) << c.name;
        EXPECT_TRUE(
            has_status(manager, VRX_ERROR_UNSUPPORTED, "VRX_YBR422ToYCbCrEngine::initiate()"))
            << c.name;
    }
    {
        TestManager manager;
        VRX_Header header(&manager);
        describe(header, 4, 1, 8, 3, VRX_ColorType::ycbcr(), VRX_DataType::u_integer(),
                 VRX_EncodeType::jpeg());
        const Bytes stored(16, 0);
        VRX_InputStorage* storage = storage_over(manager, stored);
        EXPECT_EQ(VRX_YBR422ToYCbCr(&manager).engine(storage, header, 0, 1), nullptr);
        storage->destroy();
        EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_YBR422ToYCbCr::engine()"));
    }
}

TEST(YBR422, NativeFrameCutShortFailsInTheReader) {
    TestManager manager;
    const std::vector<uint8_t> out =
        expand_native<uint8_t>(manager, {1, 2, 3, 4, 5, 6, 7}, 2, 2, VRX_DataType::u_integer());
    EXPECT_LT(out.size(), 12u);
    EXPECT_TRUE(has_status(manager, VRX_ERROR_DATA, "VRX_ReadStorageEngine::execute()"));
}

}  // namespace
