// Line buffers in a running chain: the lending shortcut, block recycling, the
// stalled-producer stop, and the refusals of the buffer classes.
#include <gtest/gtest.h>

#include <vector>

#include "tests/vrx/framework/buffer/stream_engine.h"
#include "tests/vrx/framework/support/test_engines.h"
#include "tests/vrx/framework/support/test_manager.h"
#include "vrx/framework/buffer/vrx_dstbufferproxy.h"
#include "vrx/framework/buffer/vrx_srcbufferimpl.h"
#include "vrx/framework/buffer/vrx_stblockdstbuffer.h"

namespace {

using namespace vrx_test;
using vrx::VRX_STBlockDstBuffer;

// A stream producer of `total` bytes in blocks of `block` with one reader.
struct Stream {
    Stream(TestManager& manager, uint32_t block, uint32_t total, bool stall = false)
        : header(&manager) {
        gray8(header, total, 1);
        engine = StreamCreator(&manager).engine(&header, block, total, stall);
        proxy = static_cast<vrx::VRX_DstBufferProxy*>(engine->dst_buffer());
        buffer = static_cast<VRX_STBlockDstBuffer*>(proxy->target());
        reader = engine->src_buffer();
    }
    vrx::VRX_Header header;
    StreamEngine* engine = nullptr;
    vrx::VRX_DstBufferProxy* proxy = nullptr;
    VRX_STBlockDstBuffer* buffer = nullptr;
    vrx::VRX_SrcBuffer* reader = nullptr;
};

TEST(VRX_STBlockDstBuffer, ASingleCopyingReaderLendsItsMemoryToTheProducer) {
    TestManager manager;
    Stream s(manager, 16, 16 * 40);
    ASSERT_TRUE(s.reader->block_bytes(16));
    std::vector<unsigned char> line(16);
    uint64_t allocations = 0;
    for (uint32_t i = 0; i < 40; ++i) {
        ASSERT_TRUE(s.reader->get(line.data()));
        // The block the producer wrote is the reader's own memory.
        EXPECT_TRUE(s.buffer->first_block_lent());
        for (uint32_t x = 0; x < 16; ++x) ASSERT_EQ(line[x], stream_byte(i * 16 + x));
        ASSERT_TRUE(s.reader->release());
        if (i == 1) allocations = manager.memory_manager().allocations();
    }
    EXPECT_EQ(manager.memory_manager().allocations(), allocations);
    EXPECT_FALSE(s.buffer->has_spare_block());  // no block of its own was ever needed
    EXPECT_FALSE(s.reader->get(line.data()));
    s.reader->destroy();
    EXPECT_TRUE(manager.execute());
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

TEST(VRX_STBlockDstBuffer, PointerReadersRecycleOneBlock) {
    TestManager manager;
    Stream s(manager, 8, 8 * 50);
    ASSERT_TRUE(s.reader->block_bytes(8));
    uint64_t allocations = 0;
    const unsigned char* previous = nullptr;
    for (uint32_t i = 0; i < 50; ++i) {
        const unsigned char* bytes = s.reader->get();
        ASSERT_NE(bytes, nullptr);
        EXPECT_EQ(bytes[0], stream_byte(i * 8));
        ASSERT_TRUE(s.reader->release());
        EXPECT_LE(s.buffer->block_count(), 1u);
        if (i >= 2) {
            EXPECT_EQ(bytes, previous);  // the same memory over and over
        }
        previous = bytes;
        if (i == 2) allocations = manager.memory_manager().allocations();
    }
    EXPECT_EQ(manager.memory_manager().allocations(), allocations);
    s.reader->destroy();
    EXPECT_TRUE(manager.execute());
}

TEST(VRX_STBlockDstBuffer, ReadersShareBlocksWithoutCopies) {
    TestManager manager;
    Stream s(manager, 24, 96);
    ASSERT_TRUE(s.reader->block_bytes(8));
    EXPECT_EQ(s.buffer->mem_block_bytes(), 32u);
    const unsigned char* first = s.reader->get();
    const unsigned char* second = s.reader->get();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(second, first + 8);  // both point into one memory block
    EXPECT_TRUE(s.reader->release());
    EXPECT_TRUE(s.reader->release());
    s.reader->destroy();
    EXPECT_TRUE(manager.execute());
}

TEST(VRX_STBlockDstBuffer, AProducerThatWritesNothingIsStopped) {
    TestManager manager;
    Stream s(manager, 8, 64, /*stall=*/true);
    ASSERT_TRUE(s.reader->block_bytes(8));
    EXPECT_EQ(s.reader->get(), nullptr);
    expect_status(manager, vrx::VRX_ERROR_STATE, "VRX_STBlockDstBuffer::src_get()");
    EXPECT_EQ(*s.engine->steps, 1);
    s.reader->destroy();
    EXPECT_FALSE(manager.execute());
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

TEST(VRX_STBlockDstBuffer, AnEndedProducerIsNotRunAgain) {
    TestManager manager;
    Stream s(manager, 8, 16);
    ASSERT_TRUE(s.reader->block_bytes(8));
    int steps = 0;
    s.engine->steps = &steps;
    ASSERT_NE(s.reader->get(), nullptr);
    ASSERT_TRUE(s.reader->release());
    ASSERT_NE(s.reader->get(), nullptr);  // the last block: the producer sees its end
    EXPECT_EQ(steps, 3);
    EXPECT_EQ(manager.find(s.proxy), nullptr);  // destroyed by the step that ended it
    ASSERT_TRUE(s.reader->release());
    EXPECT_EQ(s.reader->get(), nullptr);
    s.reader->destroy();
    EXPECT_TRUE(manager.execute());
    EXPECT_EQ(manager.status().code, 0u);
}

TEST(VRX_STBlockDstBuffer, Refusals) {
    TestManager manager;
    auto* buffer = vrx::construct<VRX_STBlockDstBuffer>(&manager);
    EXPECT_FALSE(buffer->initiate(0u));
    expect_status(manager, vrx::VRX_ERROR_ARGUMENT, "VRX_DstBufferBase::initiate()");
    manager.reset();
    ASSERT_TRUE(buffer->initiate(100u));
    EXPECT_FALSE(buffer->block_bytes(101));
    expect_status(manager, vrx::VRX_ERROR_ARGUMENT, "VRX_DstBufferBase::block_bytes()");
    manager.reset();
    EXPECT_FALSE(buffer->block_bytes(0));
    manager.reset();
    ASSERT_TRUE(buffer->block_bytes(10));
    EXPECT_FALSE(buffer->src_block_bytes(0));
    expect_status(manager, vrx::VRX_ERROR_ARGUMENT, "VRX_DstBufferBase::src_block_bytes()");
    manager.reset();
    ASSERT_TRUE(buffer->src_block_bytes(4));
    EXPECT_FALSE(buffer->block_bytes(12));  // no longer new
    expect_status(manager, vrx::VRX_ERROR_STATE, "VRX_DstBufferBase::block_bytes()");
    manager.reset();
    // A commit larger than the block handed out.
    ASSERT_NE(buffer->get(), nullptr);
    EXPECT_FALSE(buffer->release(11));
    expect_status(manager, vrx::VRX_ERROR_ARGUMENT, "VRX_STBlockDstBuffer::release()");
    manager.reset();
    EXPECT_TRUE(buffer->release(10));
    // Once memory blocks are sized the readers' block size is fixed.
    EXPECT_TRUE(buffer->src_block_bytes(4));
    EXPECT_FALSE(buffer->src_block_bytes(8));
    expect_status(manager, vrx::VRX_ERROR_STATE, "VRX_STBlockDstBuffer::src_block_bytes()");
    manager.reset();
    EXPECT_EQ(buffer->create_src_buffers(buffer, 0).size(), 0u);
    expect_status(manager, vrx::VRX_ERROR_ARGUMENT, "VRX_DstBufferImpl::create_src_buffer()");
    buffer->destroy();
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

TEST(VRX_STBlockDstBuffer, MemoryBlocksBeyond32BitsAreRefused) {
    TestManager manager;
    auto* buffer = vrx::construct<VRX_STBlockDstBuffer>(&manager);
    ASSERT_TRUE(buffer->initiate(0xFFFFFFFFu));
    ASSERT_TRUE(buffer->block_bytes(0xFFFFFFFFu));
    ASSERT_TRUE(buffer->src_block_bytes(2));
    EXPECT_EQ(buffer->mem_block_bytes(), 0u);
    expect_status(manager, vrx::VRX_ERROR_UNSUPPORTED, "VRX_STBlockDstBuffer::mem_block_bytes()");
    EXPECT_EQ(buffer->get(), nullptr);
    uint32_t count = 7;
    EXPECT_EQ(buffer->src_get(0, count), nullptr);
    EXPECT_EQ(count, 0u);
    buffer->destroy();
}

TEST(VRX_SrcBufferImpl, Refusals) {
    TestManager manager;
    Stream s(manager, 8, 32);
    EXPECT_FALSE(s.reader->block_bytes(0));
    expect_status(manager, vrx::VRX_ERROR_ARGUMENT, "VRX_SrcBufferImpl::block_bytes()");
    manager.reset();
    EXPECT_FALSE(s.reader->get(nullptr, nullptr));
    expect_status(manager, vrx::VRX_ERROR_ARGUMENT, "VRX_SrcBufferImpl::get()");
    manager.reset();
    EXPECT_EQ(s.reader->get_block_bytes(), 8u);  // the producer's, until told otherwise
    ASSERT_NE(s.reader->get(), nullptr);
    EXPECT_FALSE(s.reader->block_bytes(4));
    expect_status(manager, vrx::VRX_ERROR_STATE, "VRX_SrcBufferImpl::block_bytes()");
    manager.reset();
    EXPECT_TRUE(s.reader->release());
    EXPECT_FALSE(s.reader->release());
    expect_status(manager, vrx::VRX_ERROR_STATE, "VRX_SrcBufferImpl::release()");
    manager.reset();
    auto* loose = vrx::construct<vrx::VRX_SrcBufferImpl>(&manager);
    EXPECT_FALSE(loose->initiate(nullptr));
    expect_status(manager, vrx::VRX_ERROR_ARGUMENT, "VRX_SrcBufferImpl::initiate()");
    EXPECT_TRUE(loose->destroy());  // no destination to tell
    s.reader->destroy();
    manager.execute();
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

TEST(VRX_DstBufferProxy, WithoutTargetTheReadingSideIsRefused) {
    TestManager manager;
    auto* proxy = vrx::construct<vrx::VRX_DstBufferProxy>(&manager);
    uint32_t count = 5;
    unsigned char byte = 0;
    EXPECT_EQ(proxy->get(), nullptr);
    EXPECT_EQ(manager.status().code, vrx::VRX_ERROR_STATE);
    EXPECT_FALSE(proxy->release(1));
    EXPECT_FALSE(proxy->src_block_bytes(1));
    EXPECT_FALSE(proxy->read(&byte, 0, count));
    EXPECT_EQ(proxy->src_get(0, count), nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(proxy->src_release(nullptr, 0));
    EXPECT_FALSE(proxy->src_end(nullptr));
    EXPECT_EQ(proxy->make_src_buffers(2).size(), 0u);
    EXPECT_TRUE(proxy->initiate());
    proxy->producer_end();  // nothing to tell
    EXPECT_TRUE(proxy->terminate());
    EXPECT_TRUE(proxy->destroy());
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

// Readers made in a batch are allowed after a single one; a single one is not
// allowed after any. All of them read the target through the proxy.
TEST(VRX_DstBufferProxy, ReadersMadeThroughTheProxyReadTheTarget) {
    TestManager manager;
    Stream s(manager, 4, 12);
    vrx::VRX_SrcBuffer* more[2] = {};
    {
        vrx::VRX_Vector<vrx::VRX_SrcBuffer*> made = s.proxy->make_src_buffers(2);
        ASSERT_EQ(made.size(), 2u);
        more[0] = made[0];
        more[1] = made[1];
    }
    EXPECT_EQ(s.proxy->make_src_buffer(), nullptr);
    expect_status(manager, vrx::VRX_ERROR_STATE, "VRX_DstBufferImpl::create_src_buffer()");
    manager.reset();
    EXPECT_EQ(s.buffer->reader_count(), 3u);
    for (vrx::VRX_SrcBuffer* reader : {s.reader, more[0], more[1]}) {
        for (uint32_t i = 0; i < 3; ++i) {
            const unsigned char* bytes = reader->get();
            ASSERT_NE(bytes, nullptr);
            EXPECT_EQ(bytes[3], stream_byte(i * 4 + 3));
            EXPECT_TRUE(reader->release());
        }
        EXPECT_EQ(reader->get(), nullptr);
        reader->destroy();
    }
    EXPECT_TRUE(manager.execute());
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

}  // namespace
