// The block workflow's engine step and proxies, and the relation's tables.
#include "vrx/framework/manager/vrx_blockworkflow.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/vrx/framework/support/test_engines.h"
#include "tests/vrx/framework/support/test_manager.h"
#include "vrx/framework/buffer/vrx_dstbufferproxy.h"
#include "vrx/framework/manager/vrx_relationforst.h"

namespace {

using namespace vrx_test;

// Counts its steps and its deletion; finishes after `steps` steps.
class Steps : public vrx::VRX_NoOutputEngine {
public:
    Steps(vrx::VRX_Manager* manager, int steps, std::vector<int>* deleted, int id)
        : VRX_NoOutputEngine(manager), left_(steps), deleted_(deleted), id_(id) {}
    ~Steps() override { deleted_->push_back(id_); }
    bool execute() override { return left_-- > 0; }

private:
    int left_;
    std::vector<int>* deleted_;
    int id_;
};

Steps* registered(TestManager& manager, int steps, std::vector<int>* deleted, int id,
                  vrx::VRX_DstBuffer* dst = nullptr) {
    auto* engine = vrx::construct<Steps>(&manager, steps, deleted, id);
    engine->set_initiated();
    EXPECT_EQ(manager.relation()->add(engine, dst), engine);
    return engine;
}

TEST(VRX_BlockWorkflow, RunEngineDestroysAFinishedEngine) {
    TestManager manager;
    std::vector<int> deleted;
    Steps* engine = registered(manager, 2, &deleted, 1);
    EXPECT_TRUE(manager.workflow()->run_engine(engine));
    EXPECT_TRUE(manager.workflow()->run_engine(engine));
    EXPECT_TRUE(deleted.empty());
    EXPECT_FALSE(manager.workflow()->run_engine(engine));
    EXPECT_EQ(deleted, std::vector<int>{1});
    EXPECT_EQ(static_cast<vrx::VRX_RelationForST*>(manager.relation())->engine_count(), 0u);
}

TEST(VRX_BlockWorkflow, NewDestinationsAreUnboundProxies) {
    TestManager manager;
    vrx::VRX_DstBuffer* dst = manager.new_dst_buffer();
    auto* proxy = dynamic_cast<vrx::VRX_DstBufferProxy*>(dst);
    ASSERT_NE(proxy, nullptr);
    EXPECT_TRUE(proxy->initiated());
    EXPECT_EQ(proxy->target(), nullptr);
    EXPECT_EQ(manager.block_bytes(), 4096u);
    proxy->destroy();
    // Once an error is recorded no new destination is handed out.
    manager.report(vrx::VRX_ERROR_DATA, "X::x()", "x.cpp", 1);
    EXPECT_EQ(manager.new_dst_buffer(), nullptr);
    manager.execute();
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

TEST(VRX_RelationForST, ExecuteEndsWritersFirstThenProducers) {
    TestManager manager;
    std::vector<int> deleted;
    vrx::VRX_Relation* relation = manager.relation();
    vrx::VRX_DstBuffer* a = manager.new_dst_buffer();
    vrx::VRX_DstBuffer* b = manager.new_dst_buffer();
    registered(manager, 0, &deleted, 10, a);
    registered(manager, 0, &deleted, 1);
    registered(manager, 0, &deleted, 11, b);
    registered(manager, 0, &deleted, 2);
    EXPECT_EQ(relation->query(nullptr, 0), nullptr);
    EXPECT_TRUE(relation->execute());
    ASSERT_EQ(deleted.size(), 4u);
    EXPECT_EQ(deleted[0], 1);
    EXPECT_EQ(deleted[1], 2);
    EXPECT_EQ(relation->find(a), nullptr);
    EXPECT_EQ(relation->find(b), nullptr);
    EXPECT_EQ(static_cast<vrx::VRX_RelationForST*>(relation)->engine_count(), 0u);
    a->destroy();
    b->destroy();
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

TEST(VRX_RelationForST, RemoveFindsWritersAndProducers) {
    TestManager manager;
    std::vector<int> deleted;
    vrx::VRX_Relation* relation = manager.relation();
    vrx::VRX_DstBuffer* dst = manager.new_dst_buffer();
    Steps* writer = registered(manager, 0, &deleted, 1);
    Steps* producer = registered(manager, 0, &deleted, 2, dst);
    EXPECT_EQ(relation->find(dst), producer);
    EXPECT_TRUE(relation->remove(producer));
    EXPECT_EQ(relation->find(dst), nullptr);
    EXPECT_FALSE(relation->remove(producer));
    EXPECT_TRUE(relation->remove(writer));
    EXPECT_FALSE(relation->remove(writer));
    // Unregistered now: ending them does not touch the tables.
    writer->set_initiated(false);
    producer->set_initiated(false);
    writer->destroy();
    producer->destroy();
    EXPECT_EQ(deleted.size(), 2u);
    dst->destroy();
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

TEST(VRX_RelationForST, ItsDestructorEndsWhatIsLeft) {
    std::vector<int> deleted;
    {
        TestManager manager;
        registered(manager, 0, &deleted, 1);
        registered(manager, 0, &deleted, 2);
    }
    EXPECT_EQ(deleted.size(), 2u);
}

// An engine that forgets to give its destination a block size cannot be
// registered: binding the proxy passes the size on and a size of 0 is refused.
TEST(VRX_BlockWorkflow, AnEngineWithoutDestinationBlockSizeIsCaught) {
    class Forgetful : public vrx::VRX_GenerateEngine {
    public:
        using VRX_GenerateEngine::VRX_GenerateEngine;
        bool execute() override { return false; }
    };
    TestManager manager;
    vrx::VRX_Header header(&manager);
    gray8(header, 4, 4);
    vrx::VRX_DstBuffer* dst = manager.new_dst_buffer();
    auto* engine = vrx::construct<Forgetful>(&manager);
    ASSERT_TRUE(engine->initiate(&header, dst));
    engine->set_initiated();
    EXPECT_EQ(vrx::VRX_EngineCreator(&manager).regist_engine(engine, nullptr, dst), nullptr);
    expect_status(manager, vrx::VRX_ERROR_ARGUMENT, "VRX_DstBufferBase::block_bytes()");
    EXPECT_EQ(static_cast<vrx::VRX_RelationForST*>(manager.relation())->engine_count(), 0u);
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

}  // namespace
