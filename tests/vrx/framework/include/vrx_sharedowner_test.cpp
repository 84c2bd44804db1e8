#include "vrx/framework/include/vrx_sharedowner.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "tests/vrx/framework/support/test_manager.h"
#include "vrx/framework/base/vrx_header.h"

namespace {

using vrx::VRX_Header;
using vrx::VRX_SharedOwner;
using vrx_test::TestManager;

// A utility that counts its destructions.
class Counted : public vrx::VRX_Utility {
public:
    Counted(vrx::VRX_Manager* manager, int* destroyed)
        : VRX_Utility(manager), destroyed_(destroyed) {}
    ~Counted() override { ++*destroyed_; }

private:
    int* destroyed_;
};

TEST(VRX_SharedOwner, LastOwnerDestroysOnce) {
    TestManager manager;
    const int64_t before = manager.memory_manager().outstanding();
    int destroyed = 0;
    auto* a = new VRX_SharedOwner<Counted>(vrx::construct<Counted>(&manager, &destroyed));
    ASSERT_TRUE(a->counted());
    EXPECT_EQ(a->use_count(), 1u);
    auto* b = new VRX_SharedOwner<Counted>(*a);
    auto* c = new VRX_SharedOwner<Counted>(*b);
    EXPECT_EQ(c->use_count(), 3u);
    delete b;
    delete a;
    EXPECT_EQ(destroyed, 0);
    delete c;
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(manager.memory_manager().outstanding(), before);
}

TEST(VRX_SharedOwner, CopiesAndAssignments) {
    TestManager manager;
    const int64_t before = manager.memory_manager().outstanding();
    int destroyed_a = 0;
    int destroyed_b = 0;
    {
        VRX_SharedOwner<Counted> a(vrx::construct<Counted>(&manager, &destroyed_a));
        VRX_SharedOwner<Counted> b(vrx::construct<Counted>(&manager, &destroyed_b));
        VRX_SharedOwner<Counted> a2(a);
        VRX_SharedOwner<Counted> a3;
        a3 = a2;
        EXPECT_EQ(a.use_count(), 3u);
        VRX_SharedOwner<Counted>& self = a3;
        a3 = self;
        EXPECT_EQ(a.use_count(), 3u);
        b = a;  // b's object goes
        EXPECT_EQ(destroyed_b, 1);
        EXPECT_EQ(a.use_count(), 4u);
        a.release();
        a2.release();
        a3.release();
        EXPECT_EQ(destroyed_a, 0);
        VRX_SharedOwner<Counted> moved(std::move(b));
        EXPECT_FALSE(b);
        EXPECT_EQ(moved.use_count(), 1u);
    }
    EXPECT_EQ(destroyed_a, 1);
    EXPECT_EQ(manager.memory_manager().outstanding(), before);
}

TEST(VRX_SharedOwner, CountWithoutMemory) {
    TestManager manager;
    int destroyed = 0;
    Counted* object = vrx::construct<Counted>(&manager, &destroyed);
    manager.memory_manager().fail_at(1);
    {
        VRX_SharedOwner<Counted> a(object);
        EXPECT_FALSE(a.counted());
        VRX_SharedOwner<Counted> b(a);
        EXPECT_EQ(b.use_count(), 0u);
    }
    EXPECT_EQ(destroyed, 0);  // the caller keeps an object that could not be counted
    object->destroy();
}

TEST(VRX_SharedOwner, NullOwner) {
    VRX_SharedOwner<VRX_Header> empty(nullptr);
    EXPECT_FALSE(empty);
    EXPECT_FALSE(empty.counted());
    VRX_SharedOwner<VRX_Header> copy(empty);
    copy.release();
}

TEST(VRX_SharedOwner, CountsAcrossThreads) {
    TestManager manager;
    int destroyed = 0;
    {
        VRX_SharedOwner<Counted> owner(vrx::construct<Counted>(&manager, &destroyed));
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([owner] {
                for (int i = 0; i < 2000; ++i) {
                    VRX_SharedOwner<Counted> copy(owner);
                    VRX_SharedOwner<Counted> other;
                    other = copy;
                }
            });
        }
        for (auto& t : threads) t.join();
        EXPECT_EQ(owner.use_count(), 1u);
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1);
}

}  // namespace
