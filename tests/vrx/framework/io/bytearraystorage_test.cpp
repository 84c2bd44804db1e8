#include <gtest/gtest.h>

#include <vector>

#include "tests/vrx/framework/io/io_test_support.h"
#include "vrx/framework/io/vrx_bytearrayinputstorage.h"
#include "vrx/framework/io/vrx_bytearrayoutputstorage.h"

using namespace vrx;
using iotest::has_status;
using iotest::reported;
using iotest::is_clean;

namespace {

class ByteArrayStorage : public ::testing::Test {
protected:
    VRX_DefaultManager manager;
};

TEST_F(ByteArrayStorage, OutputStopsAtCapacityAndReports) {
    unsigned char memory[4] = {};
    auto* out = VRX_ByteArrayOutputStorage::create(&manager, memory, 4);
    ASSERT_NE(out, nullptr);
    const unsigned char six[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(out->write(six, 6), 4);
    EXPECT_TRUE(is_clean(manager));
    EXPECT_EQ(out->write(six, 1), 0);
    EXPECT_TRUE(reported(manager, VRX_ERROR_IO, "VRX_ByteArrayOutputStorage::write()"));
    EXPECT_EQ(out->put(9), -1);
    EXPECT_TRUE(has_status(manager, VRX_ERROR_IO, "VRX_ByteArrayOutputStorage::put()"));
    EXPECT_EQ(std::vector<unsigned char>(memory, memory + 4), (std::vector<unsigned char>{1, 2, 3, 4}));
    EXPECT_EQ(out->size(), 4);
    out->destroy();
}

TEST_F(ByteArrayStorage, PutOfFFIsNotEndOfData) {
    unsigned char memory[2] = {};
    auto* out = VRX_ByteArrayOutputStorage::create(&manager, memory, 2);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->put(0xFF), 255);
    EXPECT_EQ(memory[0], 0xFF);
    out->destroy();
}

TEST_F(ByteArrayStorage, OutputPositioningStaysInsideWrittenBytes) {
    std::vector<unsigned char> memory(16);
    auto* out = VRX_ByteArrayOutputStorage::create(&manager, memory.data(), 16);
    ASSERT_NE(out, nullptr);
    const auto ten = iotest::counting_bytes(10);
    ASSERT_EQ(out->write(ten.data(), 10), 10);
    EXPECT_TRUE(out->seek_from_begin(20));
    EXPECT_EQ(out->position(), 10);
    EXPECT_FALSE(out->seek_from_begin(-1));
    EXPECT_EQ(out->position(), 10);
    EXPECT_EQ(out->move(-15), -10);
    EXPECT_EQ(out->advance(3), 3);  // skipped bytes keep what the buffer held
    EXPECT_EQ(out->size(), 10);
    EXPECT_TRUE(out->seek_from_end(-4));
    EXPECT_EQ(out->position(), 6);
    EXPECT_EQ(out->advance(100), 10);  // room up to the capacity
    EXPECT_EQ(out->size(), 16);
    EXPECT_TRUE(out->to_begin());
    EXPECT_EQ(out->position(), 0);
    EXPECT_TRUE(out->to_end());
    EXPECT_EQ(out->position(), 16);
    EXPECT_TRUE(is_clean(manager));
    out->destroy();
}

TEST_F(ByteArrayStorage, TerminateKeepsWrittenSize) {
    unsigned char memory[8] = {};
    auto* out = VRX_ByteArrayOutputStorage::create(&manager, memory, 8);
    ASSERT_NE(out, nullptr);
    out->advance(5);
    EXPECT_TRUE(out->terminate());
    EXPECT_TRUE(out->is_closed());
    EXPECT_EQ(out->size(), 5);
    EXPECT_EQ(out->put(1), -1);
    out->destroy();
}

TEST_F(ByteArrayStorage, InputViewCoversTheWholeCapacity) {
    std::vector<unsigned char> memory(100, 7);
    auto* out = VRX_ByteArrayOutputStorage::create(&manager, memory.data(), 100);
    ASSERT_NE(out, nullptr);
    const auto ten = iotest::counting_bytes(10, 1);
    out->write(ten.data(), 10);
    VRX_InputStorage* in = out->make_input_storage();
    ASSERT_NE(in, nullptr);
    EXPECT_TRUE(in->initiated());
    EXPECT_EQ(in->size(), 100);
    EXPECT_EQ(in->get(), 1);
    in->destroy();
    out->destroy();
}

struct BadArgument {
    const char* name;
    bool (*call)(VRX_Manager&);
    const char* function;
};

const BadArgument bad_arguments[] = {
    {"input over null", [](VRX_Manager& m) { return VRX_ByteArrayInputStorage::create(&m, nullptr, 4) == nullptr; },
     "VRX_ByteArrayInputStorage::initiate()"},
    {"input of size 0", [](VRX_Manager& m) { static char b[1]; return VRX_ByteArrayInputStorage::create(&m, b, 0) == nullptr; },
     "VRX_ByteArrayInputStorage::initiate()"},
    {"output of negative capacity", [](VRX_Manager& m) { static char b[1]; return VRX_ByteArrayOutputStorage::create(&m, b, -1) == nullptr; },
     "VRX_ByteArrayOutputStorage::initiate()"},
    {"output over null", [](VRX_Manager& m) { return VRX_ByteArrayOutputStorage::create(&m, nullptr, 4) == nullptr; },
     "VRX_ByteArrayOutputStorage::initiate()"},
};

TEST_F(ByteArrayStorage, FactoriesRefuseBadArguments) {
    for (const BadArgument& bad : bad_arguments) {
        SCOPED_TRACE(bad.name);
        EXPECT_TRUE(bad.call(manager));
        EXPECT_TRUE(reported(manager, VRX_ERROR_ARGUMENT, bad.function));
    }
}

TEST_F(ByteArrayStorage, InputBasics) {
    unsigned char memory[6] = {10, 11, 12, 13, 14, 15};
    auto* in = VRX_ByteArrayInputStorage::create(&manager, memory, 6);
    ASSERT_NE(in, nullptr);
    EXPECT_TRUE(in->seek_from_begin(3));
    EXPECT_EQ(in->move(-5), -3);
    EXPECT_EQ(in->position(), 0);
    EXPECT_TRUE(in->seek_from_end(-3));
    EXPECT_EQ(in->move(10), 3);
    EXPECT_TRUE(in->is_end());
    EXPECT_FALSE(in->seek_from_begin(-1));
    EXPECT_EQ(in->position(), 6);
    unsigned char buffer[8] = {};
    in->to_begin();
    EXPECT_EQ(in->read(buffer, 8), 6);
    EXPECT_EQ(in->read(buffer, 8), 0);
    EXPECT_EQ(in->available(4), 0);
    in->seek_from_begin(4);
    EXPECT_EQ(in->available(4), 2);
    EXPECT_TRUE(is_clean(manager));
    in->destroy();
}

// Probing for the end is not an error.
TEST_F(ByteArrayStorage, GetAtEndGivesMinusOneWithoutReport) {
    unsigned char memory[1] = {0xFF};
    auto* in = VRX_ByteArrayInputStorage::create(&manager, memory, 1);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->get(), 255);
    EXPECT_EQ(in->get(), -1);
    EXPECT_TRUE(is_clean(manager));
    in->destroy();
}

// Negative counts and places beyond the end never move outside the array.
TEST_F(ByteArrayStorage, UnsafeCountsAndPositionsAreRefused) {
    unsigned char memory[8] = {};
    auto* in = VRX_ByteArrayInputStorage::create(&manager, memory, 8);
    auto* out = VRX_ByteArrayOutputStorage::create(&manager, memory, 8);
    ASSERT_NE(in, nullptr);
    ASSERT_NE(out, nullptr);
    unsigned char buffer[8];

    in->seek_from_begin(4);
    EXPECT_EQ(in->read(buffer, -3), 0);
    EXPECT_TRUE(reported(manager, VRX_ERROR_ARGUMENT, "VRX_ByteArrayInputStorage::read()"));
    EXPECT_FALSE(in->seek_from_end(5));
    EXPECT_TRUE(reported(manager, VRX_ERROR_ARGUMENT, "VRX_ByteArrayInputStorage::seek_from_end()"));
    EXPECT_EQ(in->position(), 4);
    EXPECT_EQ(in->move(INT32_MAX), 4);
    EXPECT_EQ(in->move(INT32_MIN), -8);

    out->advance(6);
    EXPECT_EQ(out->write(buffer, -1), 0);
    EXPECT_TRUE(reported(manager, VRX_ERROR_ARGUMENT, "VRX_ByteArrayOutputStorage::write()"));
    EXPECT_EQ(out->advance(-4), 0);
    EXPECT_TRUE(reported(manager, VRX_ERROR_ARGUMENT, "VRX_ByteArrayOutputStorage::advance()"));
    EXPECT_FALSE(out->seek_from_end(1));
    EXPECT_TRUE(reported(manager, VRX_ERROR_ARGUMENT, "VRX_ByteArrayOutputStorage::seek_from_end()"));
    EXPECT_EQ(out->position(), 6);
    EXPECT_EQ(out->move(INT32_MAX), 0);
    EXPECT_TRUE(out->seek_from_end(INT32_MIN));
    EXPECT_EQ(out->position(), 0);
    EXPECT_TRUE(is_clean(manager));
    in->destroy();
    out->destroy();
}

TEST_F(ByteArrayStorage, StampIdentifiesTheStream) {
    unsigned char memory[2] = {};
    auto* in = VRX_ByteArrayInputStorage::create(&manager, memory, 2);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->stamp().change_count, 1u);
    EXPECT_EQ(in->stamp().owner, &in->stamp());
    EXPECT_NE(in->stamp().time, 0u);
    in->destroy();
}

}  // namespace
