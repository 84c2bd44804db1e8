// The block buffer and the proxy, driven by hand: producer blocks, memory
// blocks, readers and block dropping.
#include "vrx/framework/buffer/vrx_stblockdstbuffer.h"

#include <gtest/gtest.h>

#include "tests/vrx/framework/support/test_manager.h"
#include "vrx/framework/buffer/vrx_dstbufferproxy.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"

namespace {

using vrx::VRX_STBlockDstBuffer;
using vrx_test::TestManager;

VRX_STBlockDstBuffer* make_buffer(TestManager& manager, uint32_t capacity, uint32_t producer) {
    auto* buffer = vrx::construct<VRX_STBlockDstBuffer>(&manager);
    EXPECT_TRUE(buffer->initiate(capacity));
    EXPECT_TRUE(buffer->block_bytes(producer));
    buffer->set_initiated();
    return buffer;
}

// Writes `bytes` bytes numbered from `first`.
bool produce(VRX_STBlockDstBuffer* buffer, uint32_t bytes, unsigned char first) {
    unsigned char* block = buffer->get();
    if (!block) return false;
    for (uint32_t i = 0; i < bytes; ++i) block[i] = static_cast<unsigned char>(first + i);
    return buffer->release(bytes);
}

TEST(VRX_STBlockDstBuffer, MemoryBlockSize) {
    struct Case {
        uint32_t producer, reader, memory;
    } cases[] = {{10, 4, 12}, {8, 4, 12}, {3, 4, 4}, {4, 4, 4}, {12, 4, 16}, {1, 1, 1}};
    for (const Case& c : cases) {
        TestManager manager;
        VRX_STBlockDstBuffer* buffer = make_buffer(manager, 1000, c.producer);
        ASSERT_TRUE(buffer->src_block_bytes(c.reader));
        EXPECT_EQ(buffer->mem_block_bytes(), c.memory) << c.producer << "/" << c.reader;
        buffer->destroy();
    }
}

TEST(VRX_STBlockDstBuffer, StraddlingBlocksGoThroughTheStagingArea) {
    TestManager manager;
    VRX_STBlockDstBuffer* buffer = make_buffer(manager, 1000, 10);
    vrx::VRX_SrcBuffer* reader = buffer->create_src_buffer(buffer);
    ASSERT_NE(reader, nullptr);
    ASSERT_TRUE(reader->block_bytes(4));
    ASSERT_TRUE(produce(buffer, 10, 0));
    EXPECT_EQ(buffer->block_count(), 1u);
    ASSERT_TRUE(produce(buffer, 10, 10));  // 2 bytes into block 0, 8 into block 1
    EXPECT_EQ(buffer->block_count(), 2u);
    EXPECT_EQ(buffer->written(), 20u);
    for (unsigned char expected = 0; expected < 20; expected += 4) {
        uint32_t count = 0;
        const unsigned char* bytes = reader->get(&count);
        ASSERT_NE(bytes, nullptr);
        ASSERT_EQ(count, 4u);
        for (unsigned char i = 0; i < 4; ++i) EXPECT_EQ(bytes[i], expected + i);
        EXPECT_TRUE(reader->release());
    }
    EXPECT_EQ(buffer->base(), 12u);  // the first block was passed and dropped
    uint32_t count = 9;
    EXPECT_EQ(reader->get(&count), nullptr);  // past the end
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(reader->release());
    expect_status(manager, vrx::VRX_ERROR_STATE, "VRX_SrcBufferImpl::release()");
    reader->destroy();
    buffer->destroy();
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

TEST(VRX_STBlockDstBuffer, ProducerNeedsTheReadersBlockSize) {
    TestManager manager;
    VRX_STBlockDstBuffer* buffer = make_buffer(manager, 100, 4);
    EXPECT_EQ(buffer->get(), nullptr);
    expect_status(manager, vrx::VRX_ERROR_STATE, "VRX_STBlockDstBuffer::get()");
    manager.reset();
    EXPECT_FALSE(buffer->release(4));
    EXPECT_STREQ(manager.status().function, "VRX_STBlockDstBuffer::release()");
    buffer->destroy();
}

TEST(VRX_STBlockDstBuffer, BlocksStayUntilEveryReaderPassedThem) {
    TestManager manager;
    VRX_STBlockDstBuffer* buffer = make_buffer(manager, 1000, 8);
    vrx::VRX_Vector<vrx::VRX_SrcBuffer*> readers = buffer->create_src_buffers(buffer, 2);
    ASSERT_EQ(readers.size(), 2u);
    ASSERT_TRUE(readers[0]->block_bytes(4));
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(produce(buffer, 8, static_cast<unsigned char>(8 * i)));
    EXPECT_EQ(buffer->mem_block_bytes(), 12u);
    for (int i = 0; i < 6; ++i) {  // the first reader moves to position 24
        ASSERT_NE(readers[0]->get(), nullptr);
        ASSERT_TRUE(readers[0]->release());
    }
    EXPECT_EQ(buffer->base(), 0u);
    for (int i = 0; i < 3; ++i) {  // the second passes 12
        ASSERT_NE(readers[1]->get(), nullptr);
        ASSERT_TRUE(readers[1]->release());
    }
    EXPECT_EQ(buffer->base(), 12u);
    // A single reader cannot be made once readers were handed out.
    EXPECT_EQ(buffer->create_src_buffer(buffer), nullptr);
    EXPECT_EQ(manager.status().code, vrx::VRX_ERROR_STATE);
    for (vrx::VRX_SrcBuffer* reader : readers) reader->destroy();
    buffer->destroy();
}

TEST(VRX_STBlockDstBuffer, UnknownReaderEnds) {
    TestManager manager;
    VRX_STBlockDstBuffer* buffer = make_buffer(manager, 100, 4);
    EXPECT_FALSE(buffer->src_end(nullptr));
    expect_status(manager, vrx::VRX_ERROR_ARGUMENT, "VRX_STBlockDstBuffer::src_end()");
    buffer->destroy();
}

TEST(VRX_DstBufferProxy, KeepsTheBlockSizeUntilBound) {
    TestManager manager;
    auto* proxy = vrx::construct<vrx::VRX_DstBufferProxy>(&manager);
    EXPECT_FALSE(proxy->block_bytes(0));
    expect_status(manager, vrx::VRX_ERROR_ARGUMENT, "VRX_DstBufferProxy::block_bytes()");
    EXPECT_TRUE(proxy->block_bytes(4096));
    EXPECT_EQ(proxy->get_block_bytes(), 4096u);
    EXPECT_EQ(proxy->make_src_buffer(), nullptr);  // needs a target
    EXPECT_FALSE(proxy->set_target(nullptr));
    auto* target = vrx::construct<VRX_STBlockDstBuffer>(&manager);
    ASSERT_TRUE(target->initiate(8192));
    ASSERT_TRUE(proxy->set_target(target));
    EXPECT_EQ(target->get_block_bytes(), 4096u);
    EXPECT_EQ(target->owner(), proxy);
    // Once the proxy is released the target is closed to a new block size.
    vrx::VRX_SrcBuffer* reader = proxy->make_src_buffer();
    ASSERT_NE(reader, nullptr);
    proxy->destroy();
    manager.reset();
    EXPECT_FALSE(target->block_bytes(1024));
    EXPECT_STREQ(manager.status().function, "VRX_DstBufferBase::block_bytes()");
    reader->destroy();  // the last reference: proxy and target go
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

class Tracked : public vrx::VRX_Object {
public:
    Tracked(vrx::VRX_Manager* manager, bool* deleted) : VRX_Object(manager), deleted_(deleted) {}
    ~Tracked() override { *deleted_ = true; }

private:
    bool* deleted_;
};

// An object two others depend on goes only after its own release and both
// dependents' deletion, in any order.
TEST(VRX_DependMap, ObjectLivesUntilEveryReferenceIsGone) {
    const int orders[][3] = {{0, 1, 2}, {1, 0, 2}, {1, 2, 0}, {2, 1, 0}};
    for (const auto& order : orders) {
        TestManager manager;
        bool deleted[3] = {false, false, false};
        Tracked* objects[3];
        for (int i = 0; i < 3; ++i) objects[i] = vrx::construct<Tracked>(&manager, &deleted[i]);
        ASSERT_TRUE(objects[1]->depend(objects[0]));
        ASSERT_TRUE(objects[2]->depend(objects[0]));
        for (int step = 0; step < 3; ++step) {
            EXPECT_TRUE(objects[order[step]]->destroy());
            const bool shared_expected = step == 2;
            EXPECT_EQ(deleted[0], shared_expected)
                << order[0] << order[1] << order[2] << " " << step;
        }
        EXPECT_EQ(manager.memory_manager().outstanding(), 3);
    }
}

TEST(VRX_DependMap, Refusals) {
    TestManager manager;
    bool deleted = false;
    Tracked* a = vrx::construct<Tracked>(&manager, &deleted);
    EXPECT_FALSE(a->depend(a));
    expect_status(manager, vrx::VRX_ERROR_ARGUMENT, "VRX_DependMap::depend()");
    EXPECT_FALSE(a->depend(nullptr));
    manager.reset();
    EXPECT_FALSE(manager.end(nullptr));
    EXPECT_STREQ(manager.status().function, "VRX_DependMap::end()");
    // A dependency whose node cannot be made is not recorded.
    bool other_deleted = false;
    Tracked* b = vrx::construct<Tracked>(&manager, &other_deleted);
    manager.memory_manager().fail_at(1);
    EXPECT_FALSE(a->depend(b));
    manager.memory_manager().fail_at(2);
    EXPECT_FALSE(a->depend(b));
    EXPECT_TRUE(b->destroy());
    EXPECT_TRUE(other_deleted);
    EXPECT_TRUE(a->destroy());
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

}  // namespace
