// Counts and positions at the ends of the 32-bit range never move a storage
// outside its data, never copy past it and never overflow.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/vrx/framework/io/io_test_support.h"
#include "vrx/framework/io/vrx_bytearrayinputstorage.h"
#include "vrx/framework/io/vrx_bytearrayoutputstorage.h"
#include "vrx/framework/io/vrx_datainput.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"
#include "vrx/framework/io/vrx_inputstoragebound.h"
#include "vrx/framework/io/vrx_moveinmoveoutinputstorage.h"
#include "vrx/framework/io/vrx_mutexinputstorage.h"

using namespace vrx;

namespace {

using Bound = VRX_InputStorageBound<VRX_InputStorage>;
using Reader = VRX_MoveInMoveOutInputStorage<VRX_InputStorage>;

constexpr int32_t extremes[] = {INT32_MIN, INT32_MIN + 1, -17, -1, 0, 1, 17, INT32_MAX - 1, INT32_MAX};
constexpr int32_t data_size = 16;

class StorageExtremes : public ::testing::Test {
protected:
    void TearDown() override {
        for (auto it = owned.rbegin(); it != owned.rend(); ++it) (*it)->destroy();
    }
    template <class T>
    T* keep(T* object) {
        EXPECT_NE(object, nullptr);
        if (object) owned.push_back(object);
        return object;
    }

    // Every input operation with every extreme argument; after each one the
    // position lies in [0, size] unless a seek from the end was allowed to go
    // past it, and what a read delivers fits the data.
    void exercise(const std::string& name, VRX_InputStorage* s) {
        SCOPED_TRACE(name);
        ASSERT_NE(s, nullptr);
        const int32_t size = s->size();
        std::vector<unsigned char> buffer(4 * data_size);
        for (int32_t n : extremes) {
            SCOPED_TRACE(n);
            const std::function<void()> operations[] = {
                [&] { EXPECT_LE(std::abs(int64_t{s->move(n)}), int64_t{size}); },
                [&] { EXPECT_LE(std::abs(int64_t{s->skip(n)}), int64_t{size}); },
                [&] { s->seek_from_begin(n); },
                [&] { s->seek_from_end(n); },
                [&] {
                    const int32_t got = s->read(buffer.data(), n);
                    EXPECT_GE(got, 0);
                    EXPECT_LE(got, size);
                },
                [&] {
                    const int32_t byte = s->get();
                    EXPECT_GE(byte, -1);
                    EXPECT_LE(byte, 255);
                },
            };
            for (const auto& operation : operations) {
                for (int32_t start : {0, size / 2, size}) {
                    s->seek_from_begin(start);
                    manager.reset();
                    operation();
                    EXPECT_GE(s->position(), 0);
                    EXPECT_EQ(s->size(), size);
                }
            }
        }
        manager.reset();
    }

    VRX_DefaultManager manager;
    std::vector<VRX_Object*> owned;
    std::vector<unsigned char> bytes = iotest::counting_bytes(data_size);
};

TEST_F(StorageExtremes, InputStoragesStayInsideTheirData) {
    iotest::TempFile file(bytes);
    auto* array = keep(VRX_ByteArrayInputStorage::create(&manager, bytes.data(), data_size));
    auto* opened = keep(VRX_FileInputStorage::create(&manager, file.path()));
    auto* guarded = keep(VRX_MutexInputStorage::create(&manager, opened));
    exercise("byte array", array);
    exercise("file", opened);
    exercise("mutex over file", guarded);
    exercise("window", keep(Bound::create(&manager, array, 4, 12)));
    exercise("reader over array", keep(Reader::create(&manager, array)));
    exercise("reader over mutex", keep(Reader::create(&manager, guarded)));
    exercise("typed reader",
             keep(VRX_DataInput<VRX_InputStorage>::create(&manager, array, VRX_MACHINE_ORDER)));
}

TEST_F(StorageExtremes, WindowsAndReadersRefuseOutOfRangeSetUps) {
    auto* array = keep(VRX_ByteArrayInputStorage::create(&manager, bytes.data(), data_size));
    array->seek_from_begin(5);
    EXPECT_EQ(Bound::create(&manager, array, INT32_MAX), nullptr);
    EXPECT_EQ(manager.status().code, VRX_ERROR_ARGUMENT);
    manager.reset();
    EXPECT_EQ(Bound::create(&manager, array, INT32_MAX, INT32_MAX), nullptr);
    EXPECT_EQ(manager.status().code, VRX_ERROR_IO);
    manager.reset();
    EXPECT_EQ(Bound::create(&manager, array, 8, 4), nullptr);
    manager.reset();

    auto* window = keep(Bound::create(&manager, array, 4, 12));
    window->move(3);
    for (int32_t n : extremes) {
        SCOPED_TRACE(n);
        window->set_bound(n);
        window->set_remain_count(n);
        window->set_remain(n, n);
        window->set_remain(0, n);
        EXPECT_GE(window->position(), 0);
        EXPECT_LE(window->position(), window->size());
        EXPECT_LE(window->size(), data_size);
        EXPECT_EQ(array->position() - window->window_begin(), window->position());
        manager.reset();
    }

    // A reader placed far beyond the data reads nothing and moves only back.
    auto* reader = keep(Reader::create(&manager, array, INT32_MAX));
    unsigned char buffer[data_size];
    EXPECT_EQ(reader->get(), -1);
    EXPECT_EQ(reader->read(buffer, INT32_MAX), 0);
    EXPECT_EQ(reader->move(INT32_MAX), 0);
    EXPECT_EQ(reader->move(INT32_MIN), -INT32_MAX);
    EXPECT_EQ(reader->position(), 0);
}

TEST_F(StorageExtremes, ByteArrayOutputStaysInsideItsBuffer) {
    std::vector<unsigned char> memory(data_size);
    std::vector<unsigned char> source(4 * data_size, 0xAB);
    auto* out = keep(VRX_ByteArrayOutputStorage::create(&manager, memory.data(), data_size));
    for (int32_t n : extremes) {
        SCOPED_TRACE(n);
        for (int32_t start : {0, data_size / 2, data_size}) {
            out->seek_from_begin(start);
            const int32_t written = out->write(source.data(), n);
            EXPECT_GE(written, 0);
            EXPECT_LE(written, data_size);
            out->seek_from_begin(start);
            const int32_t advanced = out->advance(n);
            EXPECT_GE(advanced, 0);
            EXPECT_LE(advanced, data_size);
            out->move(n);
            EXPECT_GE(out->position(), 0);
            out->seek_from_end(n);
            out->seek_from_begin(n);
            EXPECT_GE(out->position(), 0);
            EXPECT_LE(out->position(), out->size());
            EXPECT_LE(out->size(), data_size);
            manager.reset();
        }
    }
}

}  // namespace
