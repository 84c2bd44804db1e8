#include <gtest/gtest.h>

#include "tests/vrx/framework/support/test_manager.h"
#include "vrx/framework/include/vrx_list.h"
#include "vrx/framework/include/vrx_map.h"

namespace {

using vrx_test::TestManager;

TEST(VRX_List, Operations) {
    TestManager manager;
    vrx::VRX_List<int> list(&manager);
    EXPECT_TRUE(list.push_back(2));
    EXPECT_TRUE(list.push_back(3));
    EXPECT_TRUE(list.push_front(1));
    EXPECT_TRUE(list.push_back(2));
    EXPECT_EQ(list.size(), 4u);
    EXPECT_EQ(list.front(), 1);
    EXPECT_EQ(list.back(), 2);
    EXPECT_TRUE(list.remove_first(2));
    EXPECT_EQ(list.size(), 3u);
    EXPECT_EQ(*std::next(list.begin()), 3);
    EXPECT_FALSE(list.remove_first(9));
    list.pop_front();
    EXPECT_EQ(list.front(), 3);
    list.clear();
    EXPECT_TRUE(list.empty());
    list.pop_front();  // nothing to do
}

TEST(VRX_List, NodeAllocationFailure) {
    TestManager manager;
    vrx::VRX_List<int> list(&manager);
    manager.memory_manager().fail_at(1);
    EXPECT_FALSE(list.push_back(1));
    EXPECT_TRUE(
        manager.error_handler()->saw(vrx::VRX_ERROR_OUT_OF_MEMORY, "VRX_List<T>::push_back()"));
    manager.memory_manager().fail_at(1);
    EXPECT_FALSE(list.push_front(1));
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(list.push_back(1));
}

TEST(VRX_Map, Operations) {
    TestManager manager;
    vrx::VRX_Map<int, int> map(&manager);
    EXPECT_TRUE(map.insert(3, 30));
    EXPECT_TRUE(map.insert(1, 10));
    EXPECT_FALSE(map.insert(3, 31));  // already there
    EXPECT_EQ(*map.get(3), 30);
    EXPECT_EQ(map.get(2), nullptr);
    EXPECT_TRUE(map.contains(1));
    EXPECT_EQ(map.begin()->first, 1);  // ordered by key
    EXPECT_TRUE(map.erase(1));
    EXPECT_FALSE(map.erase(1));
    EXPECT_EQ(map.size(), 1u);
    map.erase(map.find(3));
    EXPECT_TRUE(map.empty());
}

TEST(VRX_Map, NodeAllocationFailure) {
    TestManager manager;
    vrx::VRX_Map<int, int> map(&manager);
    manager.memory_manager().fail_at(1);
    EXPECT_FALSE(map.insert(1, 1));
    EXPECT_TRUE(
        manager.error_handler()->saw(vrx::VRX_ERROR_OUT_OF_MEMORY, "VRX_Map<K,V>::insert()"));
    EXPECT_TRUE(map.empty());
    EXPECT_TRUE(map.insert(1, 1));
}

}  // namespace
