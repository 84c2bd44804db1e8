#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "tests/vrx/framework/io/io_test_support.h"
#include "vrx/extension/combinedstorage/vrx_combinedinputstorage.h"
#include "vrx/framework/io/vrx_bytearrayinputstorage.h"
#include "vrx/framework/io/vrx_bytearrayoutputstorage.h"
#include "vrx/framework/io/vrx_inputstoragebound.h"

using namespace vrx;
using iotest::has_status;
using iotest::reported;
using iotest::is_clean;

namespace {

using Bound = VRX_InputStorageBound<VRX_InputStorage>;

// Parts of 4 and 6 bytes: 0 1 2 3 | 10 11 12 13 14 15.
class CombinedInputStorage : public ::testing::Test {
protected:
    void SetUp() override {
        first = VRX_ByteArrayInputStorage::create(&manager, first_bytes, 4);
        second = VRX_ByteArrayInputStorage::create(&manager, second_bytes, 6);
        VRX_Vector<VRX_InputStorage*> parts(&manager);
        parts.push_back(first);
        parts.push_back(second);
        combined = VRX_CombinedInputStorage::create(&manager, parts);
        ASSERT_NE(combined, nullptr);
    }
    void TearDown() override {
        combined->destroy();
        first->destroy();
        second->destroy();
    }

    VRX_DefaultManager manager;
    unsigned char first_bytes[4] = {0, 1, 2, 3};
    unsigned char second_bytes[6] = {10, 11, 12, 13, 14, 15};
    VRX_ByteArrayInputStorage* first = nullptr;
    VRX_ByteArrayInputStorage* second = nullptr;
    VRX_CombinedInputStorage* combined = nullptr;
};

TEST_F(CombinedInputStorage, ReadsAcrossParts) {
    EXPECT_EQ(combined->size(), 10);
    unsigned char buffer[10] = {};
    EXPECT_EQ(combined->read(buffer, 7), 7);
    EXPECT_EQ(combined->position(), 7);
    EXPECT_EQ(combined->current(), 1);
    EXPECT_EQ(second->position(), 3);
    EXPECT_EQ(std::vector<unsigned char>(buffer, buffer + 7),
              (std::vector<unsigned char>{0, 1, 2, 3, 10, 11, 12}));
    EXPECT_EQ(combined->read(buffer, 10), 3);
    EXPECT_EQ(combined->get(), -1);
    EXPECT_TRUE(combined->is_end());
    EXPECT_TRUE(is_clean(manager));
}

TEST_F(CombinedInputStorage, ReadToAPartEndKeepsThatPartCurrent) {
    unsigned char buffer[4];
    EXPECT_EQ(combined->read(buffer, 4), 4);
    EXPECT_EQ(combined->current(), 0);
    EXPECT_EQ(first->position(), 4);
    EXPECT_EQ(combined->position(), 4);
    EXPECT_EQ(combined->get(), 10);
    EXPECT_EQ(combined->current(), 1);
}

TEST_F(CombinedInputStorage, MovesBackIntoAnEarlierPart) {
    EXPECT_EQ(combined->move(7), 7);
    EXPECT_EQ(combined->move(-5), -5);
    EXPECT_EQ(combined->current(), 0);
    EXPECT_EQ(first->position(), 2);
    EXPECT_EQ(combined->get(), 2);
    EXPECT_EQ(combined->move(-100), -3);
    EXPECT_EQ(combined->move(100), 10);
    EXPECT_TRUE(combined->to_begin());
    EXPECT_EQ(combined->position(), 0);
    EXPECT_TRUE(combined->to_end());
    EXPECT_EQ(combined->position(), 10);
    EXPECT_TRUE(combined->seek_from_end(-6));
    EXPECT_EQ(combined->get(), 10);
}

TEST_F(CombinedInputStorage, TerminateCloses) {
    EXPECT_FALSE(combined->is_closed());
    EXPECT_TRUE(combined->terminate());
    EXPECT_TRUE(combined->is_closed());
    EXPECT_EQ(combined->size(), 0);
    EXPECT_EQ(combined->position(), 0);
    EXPECT_EQ(combined->get(), -1);
    EXPECT_FALSE(combined->to_begin());
    EXPECT_FALSE(first->is_closed());
    EXPECT_TRUE(is_clean(manager));
}

TEST_F(CombinedInputStorage, BadReadArguments) {
    unsigned char byte;
    EXPECT_EQ(combined->read(nullptr, 1), 0);
    EXPECT_TRUE(reported(manager, VRX_ERROR_ARGUMENT, "VRX_CombinedInputStorage::read()"));
    EXPECT_EQ(combined->read(&byte, -1), 0);
    EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_CombinedInputStorage::read()"));
}

// A part is read only up to the size it had when the storage was made.
TEST_F(CombinedInputStorage, ExtremeCountsStayInsideTheParts) {
    const int32_t extremes[] = {INT32_MIN, INT32_MIN + 1, -7, -1, 1, 7, INT32_MAX - 1, INT32_MAX};
    unsigned char buffer[16];
    for (int32_t n : extremes) {
        SCOPED_TRACE(n);
        for (int32_t start : {0, 4, 7, 10}) {
            ASSERT_TRUE(combined->seek_from_begin(start));
            const int32_t moved = combined->move(n);
            EXPECT_EQ(combined->position(), start + moved);
            EXPECT_GE(combined->position(), 0);
            EXPECT_LE(combined->position(), 10);
            combined->seek_from_begin(start);
            const int32_t got = combined->read(buffer, n > 0 ? n : 0);
            EXPECT_EQ(got, n > 0 ? std::min(n, 10 - start) : 0);
            combined->seek_from_begin(n);
            combined->seek_from_end(n);
            EXPECT_GE(combined->position(), 0);
            EXPECT_LE(combined->position(), 10);
            EXPECT_EQ(combined->size(), 10);
        }
    }
    EXPECT_TRUE(is_clean(manager));
}

TEST(CombinedParts, GrownPartIsReadOnlyToItsLimit) {
    VRX_DefaultManager manager;
    unsigned char memory[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    auto* sink = VRX_ByteArrayOutputStorage::create(&manager, memory, 8);
    auto* whole = VRX_ByteArrayInputStorage::create(&manager, memory, 8);
    Bound* window = Bound::create(&manager, whole, 0, 3);
    VRX_Vector<VRX_InputStorage*> parts(&manager);
    parts.push_back(window);
    parts.push_back(window);
    auto* combined = VRX_CombinedInputStorage::create(&manager, parts);
    ASSERT_NE(combined, nullptr);
    ASSERT_TRUE(window->set_bound(6));  // the part grows
    EXPECT_EQ(combined->size(), 6);
    std::vector<unsigned char> buffer(8);
    EXPECT_EQ(combined->read(buffer.data(), 8), 6);
    EXPECT_EQ(buffer, (std::vector<unsigned char>{1, 2, 3, 1, 2, 3, 0, 0}));
    combined->destroy();
    window->destroy();
    whole->destroy();
    sink->destroy();
}

TEST(CombinedParts, CreationRefusals) {
    VRX_DefaultManager manager;
    unsigned char memory[4] = {};
    auto* part = VRX_ByteArrayInputStorage::create(&manager, memory, 4);
    auto* empty = Bound::create(&manager, part, 0);
    auto* closed = VRX_ByteArrayInputStorage::create(&manager, memory, 4);
    closed->terminate();
    const struct {
        const char* name;
        std::vector<VRX_InputStorage*> parts;
        const char* function;
    } cases[] = {
        {"null part", {part, nullptr}, "VRX_CombinedInputStorage::create()"},
        {"closed part", {closed}, "VRX_CombinedInputStorage::create()"},
        {"part of size 0", {part, empty}, "VRX_CombinedStorage::initiate()"},
        {"no part", {}, "VRX_CombinedStorage::initiate()"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VRX_Vector<VRX_InputStorage*> parts(&manager);
        for (auto* p : c.parts) parts.push_back(p);
        EXPECT_EQ(VRX_CombinedInputStorage::create(&manager, parts), nullptr);
        EXPECT_TRUE(reported(manager, VRX_ERROR_ARGUMENT, c.function));
    }
    // Limits given directly.
    const struct {
        const char* name;
        std::vector<uint32_t> limits;
        uint32_t line;
    } limits_cases[] = {
        {"counts differ", {4, 4}, 202},
        {"limit 0", {0}, 226},
        {"negative limit", {0x80000000u}, 226},
        {"sum beyond 2^31 - 1", {0x7FFFFFFF}, 0},
    };
    for (const auto& c : limits_cases) {
        SCOPED_TRACE(c.name);
        VRX_Vector<VRX_InputStorage*> parts(&manager);
        VRX_Vector<uint32_t> limits(&manager);
        parts.push_back(part);
        for (uint32_t l : c.limits) limits.push_back(l);
        auto* combined = construct<VRX_CombinedInputStorage>(&manager);
        if (c.line == 0) {
            // One part's limit at the maximum is fine; two of them overflow.
            EXPECT_TRUE(combined->initiate(parts, limits));
            parts.push_back(part);
            limits.push_back(1);
            auto* second = construct<VRX_CombinedInputStorage>(&manager);
            EXPECT_FALSE(second->initiate(parts, limits));
            second->destroy();
        } else {
            EXPECT_FALSE(combined->initiate(parts, limits));
        }
        EXPECT_TRUE(reported(manager, VRX_ERROR_ARGUMENT, "VRX_CombinedStorage::initiate()"));
        combined->destroy();
    }
    empty->destroy();
    closed->destroy();
    part->destroy();
}

}  // namespace
