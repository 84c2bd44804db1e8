// Property test of the block buffer: random producer and reader block sizes,
// stream lengths, reader counts and interleavings of gets and releases in
// every form. Every reader must see exactly the produced stream, and the
// blocks held must stay within what the readers' spread needs.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <list>
#include <random>
#include <vector>

#include "tests/vrx/framework/buffer/stream_engine.h"
#include "tests/vrx/framework/support/test_engines.h"
#include "tests/vrx/framework/support/test_manager.h"
#include "vrx/framework/buffer/vrx_dstbufferproxy.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/buffer/vrx_stblockdstbuffer.h"

namespace {

using namespace vrx_test;

struct Reader {
    vrx::VRX_SrcBuffer* src = nullptr;
    uint32_t position = 0;  // next byte to get
    uint32_t released = 0;  // bytes released
    std::deque<uint32_t> held;
    std::vector<unsigned char> seen;
    uint32_t unseen_tail = 0;  // a short last block taken without count by pointer
    bool finished = false;
};

// One random case.
void run_case(uint32_t seed) {
    std::mt19937 rng(seed);
    auto pick = [&](uint32_t lo, uint32_t hi) {
        return std::uniform_int_distribution<uint32_t>(lo, hi)(rng);
    };
    const uint32_t total = pick(1, 600);
    const uint32_t producer = pick(1, std::min<uint32_t>(total, 64));
    const uint32_t reader_block = pick(1, 80);
    const uint32_t reader_count = pick(1, 4);
    const uint32_t max_held = pick(1, 3);
    const bool encoded = pick(0, 3) == 0;
    SCOPED_TRACE(testing::Message() << "seed " << seed << " total " << total << " P " << producer
                                    << " S " << reader_block << " readers " << reader_count
                                    << " held " << max_held << " encoded " << encoded);

    TestManager manager;
    vrx::VRX_Header header(&manager);
    gray8(header, total, 1);
    if (encoded) header.encode_type(vrx::VRX_EncodeType::pack_bits());
    StreamCreator creator(&manager);
    StreamEngine* engine = creator.engine(&header, producer, total);
    ASSERT_NE(engine, nullptr);
    auto* proxy = static_cast<vrx::VRX_DstBufferProxy*>(engine->dst_buffer());
    vrx::VRX_STBlockDstBuffer* buffer = static_cast<vrx::VRX_STBlockDstBuffer*>(proxy->target());

    std::vector<Reader> readers(reader_count);
    if (reader_count == 1) {
        readers[0].src = engine->src_buffer();
    } else {
        vrx::VRX_Vector<vrx::VRX_SrcBuffer*> made = proxy->make_src_buffers(reader_count);
        ASSERT_EQ(made.size(), reader_count);
        for (uint32_t i = 0; i < reader_count; ++i) readers[i].src = made[i];
    }
    ASSERT_NE(readers[0].src, nullptr);
    ASSERT_TRUE(readers[0].src->block_bytes(reader_block));

    std::list<std::vector<unsigned char>> copies;  // memory the readers gave out
    uint32_t finished = 0;
    for (int step = 0; finished < reader_count && step < 100000; ++step) {
        Reader& r = readers[pick(0, reader_count - 1)];
        if (r.finished) continue;
        const bool release = !r.held.empty() && (r.held.size() >= max_held || pick(0, 2) == 0);
        if (release) {
            ASSERT_TRUE(r.src->release());
            r.released += reader_block;
            r.held.pop_front();
            // Blocks held: no more than the spread between the slowest
            // release and the furthest request needs.
            uint32_t lowest = UINT32_MAX, furthest = 0;
            for (const Reader& o : readers) {
                lowest = std::min(lowest, o.released);
                furthest = std::max(furthest, o.position + reader_block);
            }
            const uint32_t m = buffer->mem_block_bytes();
            EXPECT_LE(buffer->block_count(), (furthest - lowest) / m + 3);
            continue;
        }
        const uint32_t left = total - std::min(total, r.position);
        const uint32_t expected = std::min(left, reader_block);
        const int form = static_cast<int>(pick(0, 3));
        const bool with_count = form % 2 == 0;
        uint32_t count = 12345;
        const unsigned char* bytes = nullptr;
        bool ok = false;
        if (form < 2) {
            bytes = r.src->get(with_count ? &count : nullptr);
            ok = bytes != nullptr;
        } else {
            copies.emplace_back(reader_block + 1, 0xEE);
            ok = r.src->get(copies.back().data(), with_count ? &count : nullptr);
            bytes = copies.back().data();
        }
        if (expected == 0 || (!with_count && expected < reader_block)) {
            // The end of the stream; a short last block ends a read without
            // count (consumed, but a failed get).
            EXPECT_FALSE(ok);
            if (with_count) {
                EXPECT_EQ(count, 0u);
            }
            if (expected != 0 && form >= 2) r.seen.insert(r.seen.end(), bytes, bytes + expected);
            if (expected != 0 && form < 2) r.unseen_tail = expected;
            r.position += expected;
            r.finished = true;
            ++finished;
            continue;
        }
        ASSERT_TRUE(ok);
        if (with_count) {
            ASSERT_EQ(count, expected);
        }
        r.seen.insert(r.seen.end(), bytes, bytes + expected);
        r.position += expected;
        r.held.push_back(expected);
    }
    ASSERT_EQ(finished, reader_count);
    std::vector<unsigned char> stream(total);
    for (uint32_t i = 0; i < total; ++i) stream[i] = stream_byte(i);
    for (const Reader& r : readers) {
        EXPECT_EQ(r.position, total);
        const std::vector<unsigned char> prefix(stream.begin(), stream.end() - r.unseen_tail);
        EXPECT_EQ(r.seen, prefix);
    }
    for (Reader& r : readers) r.src->destroy();
    vrx::VRX_Status status(&manager);
    EXPECT_TRUE(manager.execute(status)) << status.function;
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

TEST(VRX_STBlockDstBufferProperty, EveryReaderSeesTheStreamAndMemoryStaysBounded) {
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        run_case(seed);
        if (HasFatalFailure() || HasNonfatalFailure()) break;
    }
}

}  // namespace
