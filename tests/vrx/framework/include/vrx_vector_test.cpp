#include "vrx/framework/include/vrx_vector.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "tests/vrx/framework/support/test_manager.h"
#include "vrx/framework/include/vrx_basicstring.h"

namespace {

using vrx::VRX_Vector;
using vrx_test::TestManager;

TEST(VRX_Vector, BasicOperations) {
    TestManager manager;
    VRX_Vector<int> v(&manager);
    EXPECT_EQ(v.size(), 0u);
    EXPECT_TRUE(v.empty());
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(v.push_back(i));
    EXPECT_EQ(v.size(), 100u);
    EXPECT_EQ(v[42], 42);
    ASSERT_NE(v.at(99), nullptr);
    EXPECT_EQ(*v.at(99), 99);
    int out = 0;
    EXPECT_TRUE(v.at(7, out));
    EXPECT_EQ(out, 7);
    EXPECT_TRUE(v.resize(10, 0));
    EXPECT_EQ(v.size(), 10u);
    EXPECT_TRUE(v.resize(12, -1));
    EXPECT_EQ(v[11], -1);
    EXPECT_TRUE(v.erase(0, 2));
    EXPECT_EQ(v[0], 2);
    EXPECT_TRUE(v.erase(0));
    EXPECT_EQ(v.front(), 3);
    EXPECT_EQ(v.back(), -1);
    EXPECT_TRUE(v.insert(0, 100));
    EXPECT_EQ(v[0], 100);
    EXPECT_TRUE(v.insert(v.size(), 200));
    EXPECT_EQ(v.back(), 200);
    EXPECT_TRUE(v.assign(3, 5));
    EXPECT_EQ(v.size(), 3u);
    EXPECT_TRUE(v.reserve(1000));
    EXPECT_GE(v.capacity(), 1000u);
    EXPECT_TRUE(v.resize(0, 0));
    EXPECT_TRUE(v.empty());
    EXPECT_EQ(manager.status().code, 0u);
}

TEST(VRX_Vector, CopiesUseTheSourceManager) {
    TestManager manager;
    VRX_Vector<double> a(&manager, 4, 1.5);
    VRX_Vector<double> b(a);
    EXPECT_EQ(b.manager(), &manager);
    EXPECT_EQ(b.size(), 4u);
    EXPECT_EQ(b[3], 1.5);
    TestManager other;
    VRX_Vector<double> c(&other);
    c = a;
    EXPECT_EQ(c.size(), 4u);
    EXPECT_EQ(c.manager(), &other);  // keeps its own manager
    VRX_Vector<double> moved(std::move(c));
    EXPECT_EQ(moved.size(), 4u);
    EXPECT_EQ(moved.manager(), &other);
}

TEST(VRX_Vector, NestedVectorsAndStrings) {
    TestManager manager;
    VRX_Vector<VRX_Vector<unsigned>> outer(&manager);
    VRX_Vector<unsigned> inner(&manager, 3, 7u);
    ASSERT_TRUE(outer.push_back(inner));
    ASSERT_TRUE(outer.push_back(inner));
    EXPECT_EQ(outer[1][2], 7u);
    VRX_Vector<vrx::VRX_WString> texts(&manager);
    vrx::VRX_WString text(&manager, u"abc");
    ASSERT_TRUE(texts.push_back(text));
    EXPECT_EQ(texts[0].compare(u"abc"), 0);
}

// Every failing member returns false, keeps the vector usable, and reports an
// allocation failure as out of memory.
TEST(VRX_Vector, AllocationFailures) {
    struct Case {
        const char* function;
        bool (*run)(VRX_Vector<int>&);
    } cases[] = {
        {"VRX_Vector<T>::push_back()", [](VRX_Vector<int>& v) { return v.push_back(1); }},
        {"VRX_Vector<T>::resize()", [](VRX_Vector<int>& v) { return v.resize(100, 1); }},
        {"VRX_Vector<T>::reserve()", [](VRX_Vector<int>& v) { return v.reserve(100); }},
        {"VRX_Vector<T>::assign()", [](VRX_Vector<int>& v) { return v.assign(100, 1); }},
        {"VRX_Vector<T>::insert()", [](VRX_Vector<int>& v) { return v.insert(0, 1); }},
    };
    for (const Case& c : cases) {
        TestManager manager;
        VRX_Vector<int> v(&manager);
        manager.memory_manager().fail_at(1);
        EXPECT_FALSE(c.run(v)) << c.function;
        EXPECT_TRUE(v.empty()) << c.function;
        EXPECT_TRUE(manager.error_handler()->saw(vrx::VRX_ERROR_OUT_OF_MEMORY, c.function))
            << c.function;
        EXPECT_EQ(manager.status().code, vrx::VRX_ERROR_OUT_OF_MEMORY);
        EXPECT_TRUE(v.push_back(3));  // usable afterwards
    }
}

TEST(VRX_Vector, CopyFailuresLeaveAnEmptyVector) {
    TestManager manager;
    VRX_Vector<int> a(&manager, 10, 1);
    manager.memory_manager().fail_at(1);
    VRX_Vector<int> b(a);
    EXPECT_TRUE(b.empty());
    manager.memory_manager().fail_at(1);
    VRX_Vector<int> c(&manager);
    c = a;
    EXPECT_TRUE(c.empty());
    EXPECT_TRUE(
        manager.error_handler()->saw(vrx::VRX_ERROR_OUT_OF_MEMORY, "VRX_Vector<T>::operator=()"));
    manager.memory_manager().fail_at(1);
    EXPECT_FALSE(c.assign(a));
}

TEST(VRX_Vector, LengthLimitIsAnUnexpectedFailure) {
    TestManager manager;
    VRX_Vector<uint64_t> v(&manager);
    EXPECT_FALSE(v.reserve(SIZE_MAX / 4));
    expect_status(manager, vrx::VRX_ERROR, "VRX_Vector<T>::reserve()");
}

TEST(VRX_Vector, IndexOutOfRange) {
    TestManager manager;
    VRX_Vector<int> v(&manager, 2, 9);
    EXPECT_EQ(v.at(2), nullptr);
    expect_status(manager, vrx::VRX_ERROR, "VRX_Vector<T>::at() --- out of range");
    int out = 5;
    EXPECT_FALSE(v.at(100, out));
    EXPECT_EQ(out, 5);
    manager.reset();
    int& element = v[2];
    EXPECT_EQ(element, 0);  // a default element, not the vector's memory
    element = 77;
    EXPECT_EQ(v[5], 0);
    expect_status(manager, vrx::VRX_ERROR, "VRX_Vector<T>::operator[]()");
    VRX_Vector<int> empty(&manager);
    EXPECT_EQ(empty.front(), 0);
    EXPECT_FALSE(empty.erase(0));
    EXPECT_FALSE(v.erase(1, 3));
    EXPECT_FALSE(v.insert(3, 1));
    EXPECT_EQ(v.size(), 2u);
    VRX_Vector<VRX_Vector<int>> nested(&manager);
    EXPECT_TRUE(nested[0].empty());
}

TEST(VRX_Vector, CreateOnTheHeap) {
    TestManager manager;
    VRX_Vector<short>* v = VRX_Vector<short>::create(&manager, 5, 3);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->size(), 5u);
    EXPECT_EQ((*v)[4], 3);
    EXPECT_TRUE(v->destroy());
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
    for (uint64_t n = 1; n <= 2; ++n) {
        manager.memory_manager().fail_at(n);
        EXPECT_EQ(VRX_Vector<short>::create(&manager, 5, 3), nullptr) << n;
        EXPECT_EQ(manager.memory_manager().outstanding(), 3) << n;
    }
    VRX_Vector<short>* empty = VRX_Vector<short>::create(&manager, 0, 3);
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->empty());
    empty->destroy();
}

}  // namespace
