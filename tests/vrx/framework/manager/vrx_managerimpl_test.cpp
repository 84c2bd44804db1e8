#include "vrx/framework/manager/vrx_managerimpl.h"

#include <gtest/gtest.h>

#include "tests/vrx/framework/support/test_engines.h"
#include "tests/vrx/framework/support/test_manager.h"

namespace {

using vrx::VRX_DefaultManager;
using vrx::VRX_Status;
using vrx_test::FailingMemoryManager;
using vrx_test::TestManager;

TEST(VRX_ManagerImpl, AllocateFailureIsReported) {
    TestManager manager;
    manager.memory_manager().fail_at(1);
    EXPECT_EQ(manager.allocate(16), nullptr);
    const VRX_Status st = manager.status();
    EXPECT_EQ(st.code, vrx::VRX_ERROR_OUT_OF_MEMORY);
    EXPECT_STREQ(st.function, "VRX_ManagerImpl::allocate()");
    void* memory = manager.allocate(16);
    EXPECT_NE(memory, nullptr);
    manager.deallocate(memory);
    manager.deallocate(nullptr);
}

TEST(VRX_ManagerImpl, ExecuteReturnsTheJobStatusAndResets) {
    struct Case {
        const char* name;
        uint32_t first;
        uint32_t second;
        bool result;
        uint32_t code;
    } cases[] = {
        {"clean", 0, 0, true, 0},
        {"warning only", 0x40400000u, 0, true, 0x40400000u},
        {"warning then error", 0x40400000u, 0x80800000u, false, 0x80800000u},
        {"error then warning", 0x80800000u, 0x40400000u, false, 0x80800000u},
    };
    for (const Case& c : cases) {
        VRX_DefaultManager manager;
        if (c.first) manager.report(c.first, "A::a()", "a.cpp", 1);
        if (c.second) manager.report(c.second, "B::b()", "b.cpp", 2);
        VRX_Status out(&manager);
        EXPECT_EQ(manager.execute(out), c.result) << c.name;
        EXPECT_EQ(out.code, c.code) << c.name;
        EXPECT_EQ(manager.status().code, 0u) << c.name;
    }
}

// An error reported while the chain is torn down still reaches the result.
TEST(VRX_ManagerImpl, ExecuteMergesErrorsOfTheTearDown) {
    class FailingTerminate : public vrx_test::CollectEngine {
    public:
        using CollectEngine::CollectEngine;
        bool terminate() override {
            manager_->report(vrx::VRX_ERROR_IO, "FailingTerminate::terminate()", __FILE__,
                             __LINE__);
            return CollectEngine::terminate();
        }
    };
    for (uint32_t before : {0u, 0x40400000u}) {
        VRX_DefaultManager manager;
        auto* engine = vrx::construct<FailingTerminate>(&manager);
        engine->set_initiated();
        ASSERT_EQ(manager.add(engine, nullptr), engine);
        if (before) manager.report(before, "W::w()", "w.cpp", 1);
        VRX_Status out(&manager);
        EXPECT_FALSE(manager.execute(out));
        EXPECT_EQ(out.code, vrx::VRX_ERROR_IO);
        EXPECT_STREQ(out.function, "FailingTerminate::terminate()");
    }
}

TEST(VRX_ManagerImpl, RelationExecuteUsesAThrowAwayStatus) {
    VRX_DefaultManager manager;
    manager.report(0x80800000u, "A::a()", "a.cpp", 1);
    EXPECT_FALSE(manager.execute());
    EXPECT_TRUE(manager.execute());
}

// Construction allocates the error handler, the workflow and the relation in
// this order; each may be missing afterwards.
TEST(VRX_ManagerImpl, MissingParts) {
    {
        FailingMemoryManager::plan_next(1);  // no error handler
        TestManager manager;
        EXPECT_EQ(manager.error_handler(), nullptr);
        EXPECT_NE(manager.workflow(), nullptr);
        manager.report(0x80800000u, "A::a()", "a.cpp", 1);  // dropped
        EXPECT_FALSE(manager.reset());
        // A job without its error record has failed.
        EXPECT_EQ(manager.status().code, vrx::VRX_ERROR_OUT_OF_MEMORY);
        VRX_Status out(&manager);
        EXPECT_FALSE(manager.execute(out));
        EXPECT_EQ(out.code, vrx::VRX_ERROR_OUT_OF_MEMORY);
        EXPECT_EQ(manager.new_dst_buffer(), nullptr);
    }
    {
        FailingMemoryManager::plan_next(2);  // no workflow, hence no relation
        TestManager manager;
        EXPECT_NE(manager.error_handler(), nullptr);
        EXPECT_EQ(manager.workflow(), nullptr);
        EXPECT_EQ(manager.relation(), nullptr);
        EXPECT_EQ(manager.new_dst_buffer(), nullptr);
        EXPECT_EQ(manager.block_bytes(), 0u);
        EXPECT_EQ(manager.query(nullptr, 0), nullptr);
        EXPECT_EQ(manager.find(nullptr), nullptr);
        EXPECT_FALSE(manager.remove(nullptr));
        EXPECT_FALSE(manager.depend(nullptr, nullptr));
        EXPECT_FALSE(manager.end(nullptr));
        EXPECT_FALSE(manager.run(nullptr));
        EXPECT_EQ(manager.status().code, vrx::VRX_ERROR_OUT_OF_MEMORY);
    }
    {
        FailingMemoryManager::plan_next(3);  // no relation
        TestManager manager;
        EXPECT_NE(manager.workflow(), nullptr);
        EXPECT_EQ(manager.relation(), nullptr);
        EXPECT_EQ(manager.status().code, vrx::VRX_ERROR_OUT_OF_MEMORY);
        vrx::VRX_Header header(&manager);
        vrx_test::gray8(header, 4, 4);
        vrx_test::PatternCreator pattern(&manager);
        EXPECT_EQ(pattern.engine(&header), nullptr);
        EXPECT_EQ(manager.memory_manager().outstanding(), 2);  // handler and workflow
    }
    {
        TestManager manager;
        EXPECT_EQ(manager.status().code, 0u);
        EXPECT_EQ(manager.block_bytes(), 4096u);
        EXPECT_EQ(manager.memory_manager().outstanding(), 3);
    }
}

TEST(VRX_ManagerImpl, PartsHeldAfterEachConstructionFailure) {
    // n-th allocation failing -> parts that exist (handler, workflow, relation).
    const int64_t held[] = {3, 2, 1, 2, 3};
    for (uint64_t n = 0; n < std::size(held); ++n) {
        FailingMemoryManager::plan_next(n);
        TestManager manager;
        EXPECT_EQ(manager.memory_manager().outstanding(), held[n]) << n;
    }
}

TEST(VRX_ManagerImpl, AddWithoutOutputAndDuplicateProducer) {
    TestManager manager;
    vrx::VRX_Header header(&manager);
    vrx_test::gray8(header, 3, 2);
    vrx_test::PatternCreator pattern(&manager);
    vrx::VRX_Engine* source = pattern.engine(&header);
    ASSERT_NE(source, nullptr);
    auto* proxy = static_cast<vrx::VRX_BufferOutputEngine*>(source)->dst_buffer();
    EXPECT_EQ(manager.find(proxy), source);
    // A second producer for the same buffer is refused.
    auto* other = vrx::construct<vrx_test::CollectEngine>(&manager);
    EXPECT_EQ(manager.add(other, proxy), nullptr);
    other->destroy();
    VRX_Status out(&manager);
    EXPECT_TRUE(manager.execute(out));
    EXPECT_EQ(manager.find(proxy), nullptr);
}

}  // namespace
