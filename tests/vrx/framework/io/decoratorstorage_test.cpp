#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tests/vrx/framework/io/io_test_support.h"
#include "vrx/framework/io/vrx_bytearrayinputstorage.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"
#include "vrx/framework/io/vrx_inputstoragebound.h"
#include "vrx/framework/io/vrx_moveinmoveoutinputstorage.h"
#include "vrx/framework/io/vrx_mutexinputstorage.h"

using namespace vrx;
using iotest::has_status;
using iotest::reported;
using iotest::is_clean;

namespace {

using Bound = VRX_InputStorageBound<VRX_InputStorage>;
using Reader = VRX_MoveInMoveOutInputStorage<VRX_InputStorage>;

class Decorators : public ::testing::Test {
protected:
    void SetUp() override {
        bytes = iotest::counting_bytes(64);
        storage = VRX_ByteArrayInputStorage::create(&manager, bytes.data(), 64);
        ASSERT_NE(storage, nullptr);
    }
    void TearDown() override { storage->destroy(); }

    VRX_DefaultManager manager;
    std::vector<unsigned char> bytes;
    VRX_ByteArrayInputStorage* storage = nullptr;
};

TEST_F(Decorators, WindowStopsAtItsEnds) {
    storage->seek_from_begin(5);
    Bound* window = Bound::create(&manager, storage, 10);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->size(), 10);
    std::vector<unsigned char> buffer(20);
    EXPECT_EQ(window->read(buffer.data(), 20), 10);
    EXPECT_EQ(buffer[0], 5);
    EXPECT_EQ(buffer[9], 14);
    EXPECT_EQ(window->get(), -1);
    EXPECT_TRUE(window->is_end());
    EXPECT_EQ(window->move(-25), -10);
    EXPECT_FALSE(window->unget());
    EXPECT_EQ(window->position(), 0);
    EXPECT_EQ(storage->position(), 5);
    EXPECT_EQ(window->skip(-3), 0);
    EXPECT_EQ(window->skip(30), 10);
    EXPECT_TRUE(window->unget());
    EXPECT_EQ(window->get(), 14);
    EXPECT_TRUE(window->seek_from_begin(-4));
    EXPECT_EQ(window->position(), 0);
    EXPECT_TRUE(window->seek_from_end(3));
    EXPECT_EQ(window->position(), 10);
    EXPECT_TRUE(window->seek_from_end(-4));
    EXPECT_EQ(window->get(), 11);
    EXPECT_TRUE(is_clean(manager));
    window->destroy();
}

TEST_F(Decorators, EmptyWindowIsAtItsEnd) {
    Bound* window = Bound::create(&manager, storage, 0);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->is_end());
    EXPECT_EQ(window->get(), -1);
    window->destroy();
    EXPECT_EQ(Bound::create(&manager, storage, -1), nullptr);
    EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_InputStreamBound::initiate()"));
}

TEST_F(Decorators, WindowToTheEndOfTheStorage) {
    storage->seek_from_begin(60);
    auto* window = construct<Bound>(&manager);
    ASSERT_TRUE(window->initiate(storage));
    EXPECT_EQ(window->size(), 4);
    EXPECT_FALSE(window->initiate(static_cast<VRX_InputStorage*>(nullptr)));
    EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_InputStorageBound::initiate()"));
    window->destroy();
}

TEST_F(Decorators, WindowBetweenAbsolutePositions) {
    Bound* window = Bound::create(&manager, storage, 20, 30);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->get(), 20);
    window->destroy();
    storage->to_begin();
    EXPECT_EQ(Bound::create(&manager, storage, 70, 80), nullptr);
    EXPECT_TRUE(has_status(manager, VRX_ERROR_IO, "VRX_MovableInputStreamBound::initiate()"));
    EXPECT_EQ(storage->position(), 0);
}

TEST_F(Decorators, SetBoundPastTheStorageChangesNothing) {
    Bound* window = Bound::create(&manager, storage, 10, 20);
    ASSERT_NE(window, nullptr);
    window->move(4);
    EXPECT_FALSE(window->set_bound(100));
    EXPECT_TRUE(has_status(manager, VRX_ERROR_IO, "VRX_MovableInputStreamBound::set_bound()"));
    EXPECT_EQ(window->position(), 4);
    EXPECT_EQ(window->size(), 10);
    EXPECT_EQ(storage->position(), 14);
    manager.reset();
    EXPECT_TRUE(window->set_bound(20));
    EXPECT_EQ(window->position(), 4);
    EXPECT_EQ(window->size(), 20);
    EXPECT_TRUE(window->set_bound(2));  // the position goes to the new end
    EXPECT_EQ(window->position(), 2);
    EXPECT_TRUE(window->is_end());
    EXPECT_EQ(storage->position(), 12);
    window->destroy();
}

TEST_F(Decorators, SetRemainKeepsThePositionInsideTheNewWindow) {
    const struct {
        int32_t wrapped_at;
        int32_t expected;
    } cases[] = {{25, 5}, {40, 10}, {15, 0}, {20, 0}, {30, 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wrapped_at);
        Bound* window = Bound::create(&manager, storage, 0, 64);
        ASSERT_NE(window, nullptr);
        window->seek_from_begin(c.wrapped_at);
        ASSERT_TRUE(window->set_remain(20, 30));
        EXPECT_EQ(window->position(), c.expected);
        EXPECT_EQ(window->size(), 10);
        EXPECT_EQ(storage->position(), 20 + c.expected);
        EXPECT_EQ(window->get(), c.expected < 10 ? 20 + c.expected : -1);
        window->destroy();
    }
    EXPECT_TRUE(is_clean(manager));
}

// A window longer than what is left of its storage, or a storage moved under
// the window, shows as a failed move to the window's ends.
TEST_F(Decorators, WindowReportsEndsItCannotReach) {
    storage->seek_from_begin(54);
    Bound* window = Bound::create(&manager, storage, 20);  // 10 bytes exist
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->to_end());
    EXPECT_TRUE(has_status(manager, VRX_ERROR_IO, "VRX_InputStorageBound::to_end()"));
    EXPECT_EQ(window->position(), 10);
    EXPECT_EQ(storage->position(), 64);
    manager.reset();
    EXPECT_FALSE(window->seek_from_end(-2));
    EXPECT_TRUE(reported(manager, VRX_ERROR_IO, "VRX_InputStorageBound::to_end()"));

    storage->seek_from_begin(0);  // moved by someone else: 54 bytes behind the window
    window->set_remain_count(5);   // the window believes it stands at 15
    EXPECT_FALSE(window->to_begin());
    EXPECT_TRUE(reported(manager, VRX_ERROR_IO, "VRX_InputStorageBound::to_begin()"));
    EXPECT_FALSE(window->seek_from_begin(3));
    EXPECT_TRUE(has_status(manager, VRX_ERROR_IO, "VRX_InputStorageBound::to_begin()"));
    window->destroy();
}

TEST_F(Decorators, SetRemainOutsideTheStorageChangesNothing) {
    Bound* window = Bound::create(&manager, storage, 10, 20);
    ASSERT_NE(window, nullptr);
    window->move(4);
    EXPECT_FALSE(window->set_remain(70, 80));
    EXPECT_TRUE(reported(manager, VRX_ERROR_IO, "VRX_MovableInputStreamBound::set_remain()"));
    EXPECT_FALSE(window->set_remain(30, 90));  // the new end does not exist
    EXPECT_EQ(manager.status().code, VRX_ERROR_IO);
    EXPECT_EQ(window->window_begin(), 10);
    EXPECT_EQ(window->size(), 10);
    EXPECT_EQ(window->position(), 4);
    EXPECT_EQ(storage->position(), 14);
    window->destroy();
}

TEST_F(Decorators, RemainCountStaysInsideTheWindow) {
    Bound* window = Bound::create(&manager, storage, 0, 8);
    ASSERT_TRUE(window->set_remain_count(3));
    EXPECT_EQ(window->position(), 5);
    EXPECT_FALSE(window->set_remain_count(9));
    EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_InputStreamBound::set_remain_count()"));
    window->destroy();
}

TEST_F(Decorators, ReadersKeepIndependentPositions) {
    storage->seek_from_begin(7);
    Reader* first = Reader::create(&manager, storage);
    Reader* second = Reader::create(&manager, storage, 30);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(first->uses_positioned_reads());
    unsigned char buffer[4];
    EXPECT_EQ(first->read(buffer, 4), 4);
    EXPECT_EQ(buffer[0], 7);
    EXPECT_EQ(storage->position(), 7);
    EXPECT_EQ(second->get(), 30);
    EXPECT_EQ(first->get(), 11);
    EXPECT_EQ(storage->position(), 7);
    EXPECT_EQ(first->position(), 12);
    EXPECT_EQ(second->move(100), 33);
    EXPECT_TRUE(second->is_end());
    EXPECT_EQ(second->get(), -1);
    EXPECT_TRUE(second->unget());
    EXPECT_EQ(second->get(), 63);
    EXPECT_EQ(Reader::create(&manager, storage, -1), nullptr);
    EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_MoveInMoveOutMovableInputStream::initiate()"));
    first->destroy();
    second->destroy();
}

// Over a storage without positioned reads (a window), the reader moves the
// shared storage in and out again.
TEST_F(Decorators, ReaderOverAWindowMovesInAndOut) {
    Bound* window = Bound::create(&manager, storage, 10, 40);
    ASSERT_NE(window, nullptr);
    Reader* first = Reader::create(&manager, window, 5);
    Reader* second = Reader::create(&manager, window);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->uses_positioned_reads());
    EXPECT_EQ(first->get(), 15);
    unsigned char buffer[4];
    EXPECT_EQ(second->read(buffer, 4), 4);
    EXPECT_EQ(buffer[0], 10);
    EXPECT_EQ(window->position(), 0);
    EXPECT_EQ(first->get(), 16);
    // A position beyond the shared storage cannot be moved in.
    Reader* far = Reader::create(&manager, window, 50);
    EXPECT_EQ(far->get(), -1);
    EXPECT_EQ(far->read(buffer, 4), 0);
    EXPECT_EQ(far->position(), 50);
    EXPECT_EQ(window->position(), 0);
    // Moves from there never go backwards on a forward move, nor farther
    // than asked; a window over such a reader stays consistent.
    EXPECT_EQ(far->move(5), 0);
    EXPECT_EQ(far->move(-10), -10);
    EXPECT_EQ(far->position(), 40);
    Bound* beyond = Bound::create(&manager, far, 8);
    ASSERT_NE(beyond, nullptr);
    EXPECT_TRUE(beyond->seek_from_begin(5));
    EXPECT_EQ(beyond->position(), 0);
    EXPECT_EQ(beyond->get(), -1);
    beyond->destroy();
    EXPECT_TRUE(is_clean(manager));
    far->destroy();
    first->destroy();
    second->destroy();
    window->destroy();
}

TEST_F(Decorators, ReaderChoosesTheLockOfAMutexStorage) {
    VRX_MutexInputStorage* guarded = VRX_MutexInputStorage::create(&manager, storage);
    ASSERT_NE(guarded, nullptr);
    Reader* over_mutex = Reader::create(&manager, guarded);
    Reader* over_array = Reader::create(&manager, storage);
    EXPECT_EQ(over_mutex->lock(), static_cast<VRX_Lockable*>(guarded));
    EXPECT_NE(over_array->lock(), static_cast<VRX_Lockable*>(guarded));
    EXPECT_TRUE(over_array->lock()->try_lock());
    over_mutex->destroy();
    over_array->destroy();
    guarded->destroy();
}

TEST_F(Decorators, MutexStorageForwardsAndKeepsItsStorage) {
    VRX_MutexInputStorage* guarded = VRX_MutexInputStorage::create(&manager, storage);
    ASSERT_NE(guarded, nullptr);
    EXPECT_EQ(guarded->get(), 0);
    EXPECT_TRUE(guarded->unget());
    EXPECT_EQ(guarded->skip(10), 10);
    EXPECT_FALSE(guarded->is_end());
    EXPECT_TRUE(guarded->to_end());
    EXPECT_TRUE(guarded->is_end());
    EXPECT_EQ(guarded->size(), 64);
    EXPECT_TRUE(guarded->terminate());
    EXPECT_FALSE(guarded->is_closed());
    EXPECT_EQ(guarded->position(), 64);
    // Recursive for its owner.
    guarded->lock();
    EXPECT_TRUE(guarded->try_lock());
    guarded->unlock();
    guarded->unlock();
    guarded->destroy();
}

// The mutex is held for whole calls: another thread cannot take it while one
// holds it.
TEST_F(Decorators, MutexStorageExcludesOtherThreads) {
    VRX_MutexInputStorage* guarded = VRX_MutexInputStorage::create(&manager, storage);
    ASSERT_NE(guarded, nullptr);
    guarded->lock();
    std::atomic<bool> taken{true};
    std::thread other([&] {
        taken = guarded->try_lock();
        if (taken) guarded->unlock();
    });
    other.join();
    EXPECT_FALSE(taken);
    guarded->unlock();
    guarded->destroy();
}

// Shared-position readers over one mutex-guarded file storage, one per
// thread, each reading its own part of the file byte by byte and in blocks.
// Over the file itself the readers use positioned reads; with a window
// between the file and the guard they move the shared storage in and out under
// the guard's mutex.
TEST(SharedFileReaders, ThreadsReadTheirOwnParts) {
    std::mt19937 random(11);
    const auto bytes = iotest::random_bytes(random, 1 << 18);
    iotest::TempFile file(bytes);
    for (bool through_window : {false, true}) {
        SCOPED_TRACE(through_window);
        VRX_DefaultManager manager;
        auto* in = VRX_FileInputStorage::create(&manager, file.path());
        ASSERT_NE(in, nullptr);
        VRX_InputStorage* shared = in;
        if (through_window) {
            shared = Bound::create(&manager, in, 0, static_cast<int32_t>(bytes.size()));
            ASSERT_NE(shared, nullptr);
            in->destroy();
        }
        VRX_MutexInputStorage* guarded = VRX_MutexInputStorage::create(&manager, shared);
        ASSERT_NE(guarded, nullptr);
        shared->destroy();
        constexpr int threads = 6;
        const int32_t part = static_cast<int32_t>(bytes.size() / threads);
        std::vector<Reader*> readers;
        for (int t = 0; t < threads; ++t) {
            Reader* reader = Reader::create(&manager, guarded, t * part);
            ASSERT_NE(reader, nullptr);
            EXPECT_EQ(reader->uses_positioned_reads(), !through_window);
            readers.push_back(reader);
        }
        std::vector<std::vector<unsigned char>> got(threads);
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back([&, t] {
                Reader* reader = readers[static_cast<size_t>(t)];
                auto& out = got[static_cast<size_t>(t)];
                unsigned char block[97];
                while (static_cast<int32_t>(out.size()) < part) {
                    if (out.size() % 3 == 0) {
                        const int32_t c = reader->get();
                        if (c < 0) break;
                        out.push_back(static_cast<unsigned char>(c));
                    } else {
                        const int32_t want =
                            std::min<int32_t>(97, part - static_cast<int32_t>(out.size()));
                        const int32_t n = reader->read(block, want);
                        if (n <= 0) break;
                        out.insert(out.end(), block, block + n);
                    }
                }
            });
        }
        for (auto& w : workers) w.join();
        for (int t = 0; t < threads; ++t) {
            const auto first = bytes.begin() + t * part;
            EXPECT_TRUE(std::equal(first, first + part, got[static_cast<size_t>(t)].begin(),
                                   got[static_cast<size_t>(t)].end()))
                << "thread " << t;
        }
        EXPECT_EQ(guarded->position(), 0);
        EXPECT_TRUE(is_clean(manager));
        for (auto* r : readers) r->destroy();
        guarded->destroy();
    }
}

}  // namespace
