#include "vrx/framework/utility/vrx_mutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using vrx::VRX_Mutex;

TEST(VRX_Mutex, IsRecursiveForItsOwner) {
    VRX_Mutex mutex;
    mutex.lock();
    EXPECT_TRUE(mutex.try_lock());
    mutex.lock();
    mutex.unlock();
    mutex.unlock();
    std::atomic<bool> acquired{true};
    std::thread other([&] { acquired = mutex.try_lock(); });
    other.join();
    EXPECT_FALSE(acquired);  // still held once by this thread
    mutex.unlock();
    std::thread again([&] {
        acquired = mutex.try_lock();
        if (acquired) mutex.unlock();
    });
    again.join();
    EXPECT_TRUE(acquired);
}

TEST(VRX_Mutex, ProcessMutexIsOneObject) {
    EXPECT_EQ(&VRX_Mutex::process(), &VRX_Mutex::process());
    int counter = 0;
    std::thread threads[4];
    for (auto& t : threads) {
        t = std::thread([&counter] {
            for (int i = 0; i < 1000; ++i) {
                VRX_Mutex::process().lock();
                ++counter;
                VRX_Mutex::process().unlock();
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(counter, 4000);
}

TEST(VRX_DummyLock, NeverWaits) {
    vrx::VRX_DummyLock lock;
    lock.lock();
    EXPECT_TRUE(lock.try_lock());
    lock.unlock();
}

}  // namespace
