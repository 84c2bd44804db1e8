#include <gtest/gtest.h>

#include <vector>

#include "tests/vrx/framework/io/io_test_support.h"
#include "vrx/framework/io/vrx_bytearrayinputstorage.h"
#include "vrx/framework/io/vrx_bytearrayoutputstorage.h"
#include "vrx/framework/io/vrx_datainput.h"
#include "vrx/framework/io/vrx_dataoutput.h"

using namespace vrx;
using iotest::has_status;
using iotest::reported;
using iotest::is_clean;

namespace {

using DataInput = VRX_DataInput<VRX_InputStorage>;
using DataOutput = VRX_DataOutput<VRX_OutputStorage>;

TEST(EndianConversion, ReversesWholeValues) {
    const struct {
        std::vector<unsigned char> in, out;
    } cases[] = {{{}, {}}, {{1}, {1}}, {{1, 2}, {2, 1}}, {{1, 2, 3}, {3, 2, 1}},
                 {{1, 2, 3, 4, 5, 6, 7, 8}, {8, 7, 6, 5, 4, 3, 2, 1}}};
    for (const auto& c : cases) {
        std::vector<unsigned char> bytes = c.in;
        VRX_EndianConversion::reverse_bytes(bytes.data(), bytes.size());
        EXPECT_EQ(bytes, c.out);
    }
    VRX_EndianConversion conversion(0);
    bool was_machine = true;
    conversion.set_order(1, was_machine);
    EXPECT_FALSE(was_machine);
    EXPECT_TRUE(conversion.is_machine_order());
    conversion.set_order(7, was_machine);
    EXPECT_TRUE(was_machine);
    EXPECT_FALSE(conversion.is_machine_order());
}

class DataStreams : public ::testing::Test {
protected:
    VRX_DefaultManager manager;
};

TEST_F(DataStreams, ReadBinaryInEitherOrder) {
    unsigned char memory[4] = {1, 2, 3, 4};
    for (int32_t order : {1, 0}) {
        auto* storage = VRX_ByteArrayInputStorage::create(&manager, memory, 4);
        auto* in = DataInput::create(&manager, storage, order);
        ASSERT_NE(in, nullptr);
        storage->destroy();  // the reader keeps it alive
        unsigned char value[4];
        ASSERT_TRUE(in->read_binary(value, 4));
        const std::vector<unsigned char> expected =
            order == 1 ? std::vector<unsigned char>{1, 2, 3, 4} : std::vector<unsigned char>{4, 3, 2, 1};
        EXPECT_EQ(std::vector<unsigned char>(value, value + 4), expected);
        in->destroy();
    }
    EXPECT_TRUE(is_clean(manager));
}

TEST_F(DataStreams, TypedReadsArriveInMachineOrder) {
    const unsigned char memory[] = {0x12, 0x34, 0x56, 0x78, 0x00, 0x00, 0x00, 0x00,
                                    0x00, 0x00, 0xF0, 0x3F};
    auto* storage = VRX_ByteArrayInputStorage::create(&manager, memory, sizeof memory);
    auto* little = DataInput::create(&manager, storage, VRX_LITTLE_ENDIAN_ORDER);
    auto* big = DataInput::create(&manager, storage, VRX_BIG_ENDIAN_ORDER);
    ASSERT_NE(little, nullptr);
    ASSERT_NE(big, nullptr);
    uint16_t u16 = 0;
    ASSERT_TRUE(big->read_value(u16));
    EXPECT_EQ(u16, 0x1234);
    ASSERT_TRUE(little->read_value(u16));
    EXPECT_EQ(u16, 0x7856);
    double d = 0;
    ASSERT_TRUE(little->read_value(d));
    EXPECT_EQ(d, 1.0);
    little->destroy();
    big->destroy();
    storage->destroy();
}

TEST_F(DataStreams, ShortReadLeavesTheStorageAtItsEnd) {
    unsigned char memory[3] = {1, 2, 3};
    auto* storage = VRX_ByteArrayInputStorage::create(&manager, memory, 3);
    auto* in = DataInput::create(&manager, storage, 0);
    ASSERT_NE(in, nullptr);
    unsigned char value[4] = {};
    EXPECT_FALSE(in->read_binary(value, 4));
    EXPECT_TRUE(storage->is_end());
    EXPECT_EQ(value[0], 1);  // unconverted
    EXPECT_TRUE(is_clean(manager));
    in->destroy();
    storage->destroy();
}

TEST_F(DataStreams, ShortWriteIsReportedAfterConverting) {
    unsigned char memory[1] = {};
    auto* storage = VRX_ByteArrayOutputStorage::create(&manager, memory, 1);
    auto* out = DataOutput::create(&manager, storage, 0);
    ASSERT_NE(out, nullptr);
    unsigned char value[2] = {0xAA, 0xBB};
    EXPECT_FALSE(out->write_binary(value, 2));
    EXPECT_TRUE(has_status(manager, VRX_ERROR_IO, "VRX_DataOutput::write_binary()"));
    EXPECT_EQ(value[0], 0xBB);
    EXPECT_EQ(memory[0], 0xBB);
    EXPECT_TRUE(out->write_binary(value, 0));
    out->destroy();
    storage->destroy();
}

TEST_F(DataStreams, TypedWrites) {
    unsigned char memory[6] = {};
    auto* storage = VRX_ByteArrayOutputStorage::create(&manager, memory, 6);
    auto* out = DataOutput::create(&manager, storage, VRX_BIG_ENDIAN_ORDER);
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(out->write_value(uint16_t{0x0102}));
    out->set_order(VRX_LITTLE_ENDIAN_ORDER);
    EXPECT_TRUE(out->write_value(int32_t{-2}));
    EXPECT_EQ(std::vector<unsigned char>(memory, memory + 6),
              (std::vector<unsigned char>{1, 2, 0xFE, 0xFF, 0xFF, 0xFF}));
    out->destroy();
    storage->destroy();
}

TEST_F(DataStreams, DecoratorsWrapAndLetGo) {
    unsigned char memory[4] = {5, 6, 7, 8};
    auto* storage = VRX_ByteArrayInputStorage::create(&manager, memory, 4);
    auto* in = DataInput::create(&manager, storage, 1);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->get(), 5);
    EXPECT_TRUE(in->unget());
    EXPECT_FALSE(in->unget());
    EXPECT_TRUE(in->terminate());
    EXPECT_TRUE(in->is_closed());
    EXPECT_FALSE(storage->is_closed());
    EXPECT_EQ(storage->get(), 5);
    in->destroy();

    // A closed input storage may be wrapped; a closed output storage may not.
    storage->terminate();
    in = DataInput::create(&manager, storage, 1);
    EXPECT_NE(in, nullptr);
    in->destroy();
    EXPECT_TRUE(is_clean(manager));
    EXPECT_EQ(DataInput::create(&manager, nullptr, 1), nullptr);
    EXPECT_TRUE(reported(manager, VRX_ERROR_ARGUMENT, "VRX_InputStorageDecorator::initiate()"));

    unsigned char sink[2];
    auto* output = VRX_ByteArrayOutputStorage::create(&manager, sink, 2);
    output->terminate();
    EXPECT_EQ(DataOutput::create(&manager, output, 1), nullptr);
    EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_OutputStorageDecorator::initiate()"));
    output->destroy();
    storage->destroy();
}

}  // namespace
