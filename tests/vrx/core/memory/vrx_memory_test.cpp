// Memory read and write engines: the direct and callback forms agree on
// every sample depth, the direct forms copy nothing they need not, and every
// refusal has its status.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "tests/vrx/core/memory/memory_chain.h"
#include "tests/vrx/framework/support/test_engines.h"
#include "tests/vrx/framework/support/test_manager.h"
#include "vrx/core/memory/vrx_bytearraydstbuffer.h"
#include "vrx/core/memory/vrx_readbytearray.h"
#include "vrx/core/memory/vrx_readmemory.h"
#include "vrx/core/memory/vrx_readmemoryengine.h"
#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/core/memory/vrx_writememoryengine.h"
#include "vrx/core/memory/vrx_writerawbytearray.h"
#include "vrx/core/memory/vrx_writerawbytearrayengine.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"

namespace {

using namespace vrx_test;
using vrx::VRX_Engine;
using vrx::VRX_Header;

// A read engine over `image`: direct, or in chunks of `chunk` bytes.
VRX_Engine* read_engine(TestManager& manager, const VRX_Header& header,
                        std::vector<unsigned char>& image, uint32_t chunk, Chunks* chunks,
                        uint32_t* read = nullptr) {
    vrx::VRX_ReadMemory creator(&manager);
    const uint32_t size = static_cast<uint32_t>(image.size());
    if (chunk == 0) return creator.engine(&header, image.data(), size, read);
    *chunks = Chunks(image.data(), size, chunk);
    return creator.engine(&header, image.data(), chunks->first_size(), read, Chunks::next, chunks);
}

VRX_Engine* write_engine(TestManager& manager, VRX_Engine* input, std::vector<unsigned char>& out,
                         uint32_t chunk, Chunks* chunks, uint32_t* written = nullptr) {
    vrx::VRX_WriteMemory creator(&manager);
    const uint32_t size = static_cast<uint32_t>(out.size());
    if (chunk == 0) return creator.engine(input, out.data(), size, written);
    *chunks = Chunks(out.data(), size, chunk);
    return creator.engine(input, out.data(), chunks->first_size(), written, Chunks::next, chunks);
}

// ReadMemory -> invert -> WriteMemory; chunk 0 is the direct form.
std::vector<unsigned char> invert_through_memory(const ImageSpec& spec,
                                                 std::vector<unsigned char> image,
                                                 uint32_t read_chunk, uint32_t write_chunk) {
    TestManager manager;
    VRX_Header header(&manager);
    describe(header, spec);
    std::vector<unsigned char> out(image.size(), 0x5A);
    Chunks in(nullptr, 0, 1), to(nullptr, 0, 1);
    uint32_t read = 99, written = 99;
    VRX_Engine* source = read_engine(manager, header, image, read_chunk, &in, &read);
    VRX_Engine* invert = InvertCreator(&manager).engine(source);
    VRX_Engine* writer = write_engine(manager, invert, out, write_chunk, &to, &written);
    EXPECT_NE(writer, nullptr);
    if (writer) run_to_end(writer);
    vrx::VRX_Status status(&manager);
    EXPECT_TRUE(manager.execute(status)) << status.function;
    EXPECT_EQ(read, image.size());
    EXPECT_EQ(written, image.size());
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
    return out;
}

TEST(MemoryEngines, DirectAndCallbackFormsGiveTheSameBytes) {
    const ImageSpec specs[] = {
        {13, 5, 1, 1}, {7, 3, 1, 3},  {8, 4, 1, 1},  {1, 6, 1, 1},  {5, 4, 8, 1},
        {4, 3, 8, 3},  {6, 5, 16, 1}, {3, 4, 16, 3}, {5, 3, 32, 1}, {4, 2, 64, 1},
    };
    std::mt19937 rng(3);
    for (const ImageSpec& spec : specs) {
        SCOPED_TRACE(testing::Message() << spec.width << "x" << spec.height << " bits " << spec.bits
                                        << " channels " << spec.channels);
        const std::vector<unsigned char> image = numbered_bytes(image_bytes(spec), spec.bits);
        const std::vector<unsigned char> expected = inverted(spec, image);
        EXPECT_EQ(invert_through_memory(spec, image, 0, 0), expected);
        for (int round = 0; round < 6; ++round) {
            const uint32_t read_chunk = std::uniform_int_distribution<uint32_t>(1, 40)(rng);
            const uint32_t write_chunk = std::uniform_int_distribution<uint32_t>(1, 40)(rng);
            SCOPED_TRACE(testing::Message() << "chunks " << read_chunk << "/" << write_chunk);
            EXPECT_EQ(invert_through_memory(spec, image, read_chunk, 0), expected);
            EXPECT_EQ(invert_through_memory(spec, image, 0, write_chunk), expected);
            EXPECT_EQ(invert_through_memory(spec, image, read_chunk, write_chunk), expected);
        }
    }
}

TEST(MemoryEngines, BranchFeedsTwoWriters) {
    const ImageSpec spec{9, 7, 16, 1};
    TestManager manager;
    VRX_Header header(&manager);
    describe(header, spec);
    std::vector<unsigned char> image = numbered_bytes(image_bytes(spec));
    std::vector<unsigned char> direct(image.size()), chunked(image.size());
    Chunks unused(nullptr, 0, 1), chunks(nullptr, 0, 1);
    VRX_Engine* invert = InvertCreator(&manager).engine(
        vrx::VRX_ReadMemory(&manager).engine(&header, image.data(), image.size()));
    ASSERT_NE(invert, nullptr);
    VRX_Engine *a = nullptr, *b = nullptr;
    {
        vrx::VRX_Vector<VRX_Engine*> branches = invert->branch(2);
        ASSERT_EQ(branches.size(), 2u);
        a = write_engine(manager, branches[0], direct, 0, &unused);
        b = write_engine(manager, branches[1], chunked, 11, &chunks);
    }
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    // Interleaved: the callback writer goes line by line, the direct one in one step.
    EXPECT_TRUE(b->execute());
    EXPECT_TRUE(b->execute());
    run_to_end(a);
    run_to_end(b);
    vrx::VRX_Status status(&manager);
    EXPECT_TRUE(manager.execute(status)) << status.function;
    EXPECT_EQ(direct, inverted(spec, image));
    EXPECT_EQ(chunked, direct);
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

// The direct read hands the next engine pointers into the caller's array.
TEST(MemoryEngines, DirectReadIsInPlace) {
    TestManager manager;
    VRX_Header header(&manager);
    gray8(header, 6, 4);
    std::vector<unsigned char> image = numbered_bytes(24);
    uint32_t read = 7;
    VRX_Engine* source = vrx::VRX_ReadMemory(&manager).engine(&header, image.data(), 24, &read);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(read, 0u);
    vrx::VRX_SrcBuffer* src = source->src_buffer();
    for (uint32_t y = 0; y < 4; ++y) {
        EXPECT_EQ(src->get(), image.data() + 6 * y);
        EXPECT_TRUE(src->release());
    }
    EXPECT_EQ(read, 24u);
    EXPECT_EQ(src->get(), nullptr);
    EXPECT_EQ(manager.status().code, 0u);
    src->destroy();
    EXPECT_TRUE(manager.execute());
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

// Heap memory that remembers the largest block asked for.
class LargestBlock : public vrx::VRX_MallocMemoryManager {
public:
    void* allocate(size_t bytes) override {
        largest = std::max(largest, bytes);
        return VRX_MallocMemoryManager::allocate(bytes);
    }
    size_t largest = 0;
};

// Read and written in place: the direct chain never holds the image in a
// buffer of its own (the writer lends its memory to the producer), and its
// work allocates the same whatever the height.
TEST(MemoryEngines, DirectChainWritesStraightIntoTheCallersMemory) {
    using Manager =
        vrx::VRX_ManagerImpl<LargestBlock, vrx::VRX_FirstErrorHandler, vrx::VRX_BlockWorkflow>;
    size_t largest[2] = {};
    const uint32_t heights[2] = {4, 400};
    for (int i = 0; i < 2; ++i) {
        const ImageSpec spec{64, heights[i], 16, 1};
        Manager manager;
        VRX_Header header(&manager);
        describe(header, spec);
        std::vector<unsigned char> image = numbered_bytes(image_bytes(spec));
        std::vector<unsigned char> out(image.size());
        VRX_Engine* writer = vrx::VRX_WriteMemory(&manager).engine(
            InvertCreator(&manager).engine(
                vrx::VRX_ReadMemory(&manager).engine(&header, image.data(), image.size())),
            out.data(), out.size());
        ASSERT_NE(writer, nullptr);
        run_to_end(writer);
        largest[i] = manager.memory_manager().largest;
        EXPECT_EQ(out, inverted(spec, image));
        EXPECT_TRUE(manager.execute());
    }
    EXPECT_EQ(largest[0], largest[1]);
    EXPECT_LT(largest[1], size_t{128} * 400);
}

TEST(MemoryEngines, OneBitPaddingIsWrittenAsZero) {
    const ImageSpec spec{13, 3, 1, 1};
    TestManager manager;
    VRX_Header header(&manager);
    describe(header, spec);
    std::vector<unsigned char> image(6, 0xFF);
    std::vector<unsigned char> out(6, 0x55);
    VRX_Engine* writer = vrx::VRX_WriteMemory(&manager).engine(
        vrx::VRX_ReadMemory(&manager).engine(&header, image.data(), 6), out.data(), 6);
    ASSERT_NE(writer, nullptr);
    auto* engine = dynamic_cast<vrx::VRX_WriteRawByteArrayEngine*>(writer);
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->last_byte_mask(), 0xF8);
    run_to_end(writer);
    EXPECT_EQ(out, (std::vector<unsigned char>{0xFF, 0xF8, 0xFF, 0xF8, 0xFF, 0xF8}));
    EXPECT_TRUE(manager.execute());
}

// A first block of 10 bytes for lines of 6: the second line is split 4 + 2.
TEST(MemoryEngines, CallbackWriteSplitsALineAcrossBlocks) {
    TestManager manager;
    VRX_Header header(&manager);
    gray8(header, 6, 2);
    std::vector<unsigned char> image = numbered_bytes(12);
    std::vector<unsigned char> out(12, 0);
    struct Seen {
        uint32_t count_at_call = 0;
        unsigned char* rest;
    } seen{0, out.data() + 10};
    auto callback = [](vrx::VRX_MemoryCallbackInfo* info) {
        auto* s = static_cast<Seen*>(info->user_data);
        s->count_at_call = info->block_count;
        info->memory = s->rest;
        info->size = 2;
        return true;
    };
    uint32_t written = 0;
    VRX_Engine* writer = vrx::VRX_WriteMemory(&manager).engine(
        vrx::VRX_ReadMemory(&manager).engine(&header, image.data(), 12), out.data(), 10, &written,
        callback, &seen);
    ASSERT_NE(writer, nullptr);
    auto* engine = dynamic_cast<vrx::VRX_WriteMemoryEngine*>(writer);
    ASSERT_NE(engine, nullptr);
    EXPECT_TRUE(writer->execute());
    EXPECT_EQ(engine->callback_info().block_count, 1u);
    EXPECT_TRUE(writer->execute());
    EXPECT_EQ(seen.count_at_call, 1u);
    EXPECT_EQ(engine->callback_info().block_count, 2u);
    EXPECT_FALSE(writer->execute());
    EXPECT_EQ(written, 12u);
    EXPECT_EQ(out, image);
    EXPECT_TRUE(manager.execute());
}

TEST(MemoryEngines, DirectWriteIntoTooSmallMemoryWritesNothing) {
    TestManager manager;
    VRX_Header header(&manager);
    gray8(header, 5, 4);
    std::vector<unsigned char> image = numbered_bytes(20);
    std::vector<unsigned char> out(19, 0x33);
    uint32_t written = 5;
    VRX_Engine* writer = vrx::VRX_WriteMemory(&manager).engine(
        vrx::VRX_ReadMemory(&manager).engine(&header, image.data(), 20), out.data(), 19, &written);
    ASSERT_NE(writer, nullptr);
    EXPECT_FALSE(writer->execute());
    expect_status(manager, vrx::VRX_ERROR_IO, "VRX_WriteRawByteArrayEngine::execute()");
    EXPECT_EQ(out, std::vector<unsigned char>(19, 0x33));
    EXPECT_EQ(written, 0u);
    EXPECT_FALSE(manager.execute());
}

TEST(MemoryEngines, DirectReadOfAShortArrayFailsOnItsLastLine) {
    for (uint32_t missing : {0u, 1u}) {
        TestManager manager;
        VRX_Header header(&manager);
        gray8(header, 4, 3);
        std::vector<unsigned char> image = numbered_bytes(12 - missing);
        std::vector<unsigned char> out(12);
        uint32_t read = 0;
        VRX_Engine* writer = vrx::VRX_WriteMemory(&manager).engine(
            InvertCreator(&manager).engine(
                vrx::VRX_ReadMemory(&manager).engine(&header, image.data(), image.size(), &read)),
            out.data(), 12);
        ASSERT_NE(writer, nullptr);
        run_to_end(writer);
        if (missing == 0) {
            EXPECT_EQ(manager.status().code, 0u);
            EXPECT_EQ(read, 12u);
        } else {
            expect_status(manager, vrx::VRX_ERROR_DATA, "VRX_ByteArrayDstBuffer::src_get()");
            EXPECT_EQ(read, 8u);
        }
        manager.execute();
        EXPECT_EQ(manager.memory_manager().outstanding(), 3);
    }
}

// An encoded stream moves in blocks of the workflow's size, the last one
// shorter; a full memory with the default callback ends it with 0x80020000.
TEST(MemoryEngines, EncodedStreams) {
    for (uint32_t read_chunk : {0u, 1000u, 4096u, 5000u}) {
        for (uint32_t room : {10000u, 9999u}) {
            SCOPED_TRACE(testing::Message() << "chunk " << read_chunk << " room " << room);
            TestManager manager;
            VRX_Header header(&manager);
            gray8(header, 100, 100);
            header.encode_type(vrx::VRX_EncodeType::pack_bits());
            std::vector<unsigned char> stream = numbered_bytes(10000);
            std::vector<unsigned char> out(room, 0);
            Chunks chunks(nullptr, 0, 1);
            uint32_t written = 0;
            VRX_Engine* writer = vrx::VRX_WriteMemory(&manager).engine(
                read_engine(manager, header, stream, read_chunk, &chunks), out.data(), room,
                &written);
            ASSERT_NE(dynamic_cast<vrx::VRX_WriteMemoryEngine*>(writer), nullptr);
            run_to_end(writer);
            if (room == 10000) {
                EXPECT_EQ(manager.status().code, 0u);
                EXPECT_EQ(out, stream);
            } else {
                expect_status(manager, vrx::VRX_ERROR_IO, "VRX_WriteMemoryEngine::execute()");
                EXPECT_EQ(written, 9999u);
            }
            manager.execute();
            EXPECT_EQ(manager.memory_manager().outstanding(), 3);
        }
    }
}

// Callbacks that refuse or hand over empty blocks.
TEST(MemoryEngines, CallbackFailures) {
    auto refuse = [](vrx::VRX_MemoryCallbackInfo*) { return false; };
    auto empty = [](vrx::VRX_MemoryCallbackInfo* info) {
        info->memory = nullptr;
        return true;
    };
    struct Case {
        const char* name;
        bool reading;
        vrx::VRX_MemoryCallback callback;
        uint32_t code;
        const char* function;
    } cases[] = {
        {"read refused", true, refuse, vrx::VRX_ERROR_DATA, "VRX_ReadMemoryEngine::execute()"},
        {"read empty", true, empty, vrx::VRX_ERROR_DATA, "VRX_ReadMemoryEngine::execute()"},
        {"write refused", false, refuse, vrx::VRX_ERROR_IO, "VRX_WriteMemoryEngine::execute()"},
        {"write empty", false, empty, vrx::VRX_ERROR_IO, "VRX_WriteMemoryEngine::execute()"},
    };
    for (const Case& c : cases) {
        TestManager manager;
        VRX_Header header(&manager);
        gray8(header, 4, 3);
        std::vector<unsigned char> image = numbered_bytes(12);
        std::vector<unsigned char> out(12, 0);
        vrx::VRX_ReadMemory reader(&manager);
        VRX_Engine* source = c.reading
                                 ? reader.engine(&header, image.data(), 6, nullptr, c.callback)
                                 : reader.engine(&header, image.data(), 12);
        const uint32_t room = c.reading ? 12 : 6;
        VRX_Engine* writer = vrx::VRX_WriteMemory(&manager).engine(
            source, out.data(), room, nullptr, c.reading ? Chunks::next : c.callback, nullptr);
        ASSERT_NE(writer, nullptr) << c.name;
        run_to_end(writer);
        expect_status(manager, c.code, c.function);
        // What was moved before the failure is in place.
        EXPECT_EQ(std::memcmp(out.data(), image.data(), 4), 0) << c.name;
        EXPECT_FALSE(writer->execute()) << c.name;
        manager.execute();
        EXPECT_EQ(manager.memory_manager().outstanding(), 3) << c.name;
    }
}

TEST(MemoryEngines, CreatorAndInitiateRefusals) {
    TestManager manager;
    VRX_Header header(&manager);
    gray8(header, 4, 3);
    std::vector<unsigned char> bytes(12);
    auto check = [&](VRX_Engine* engine, uint32_t code, const char* function) {
        EXPECT_EQ(engine, nullptr) << function;
        expect_status(manager, code, function);
        manager.reset();
    };
    vrx::VRX_ReadMemory read(&manager);
    vrx::VRX_WriteMemory write(&manager);
    check(read.engine(nullptr, bytes.data(), 12), vrx::VRX_ERROR_ARGUMENT,
          "VRX_ReadMemory::engine()");
    check(vrx::VRX_ReadByteArray(&manager).engine(nullptr, bytes.data(), 12),
          vrx::VRX_ERROR_ARGUMENT, "VRX_ByteArrayDstBuffer::initiate()");
    check(read.engine(&header, nullptr, 12), vrx::VRX_ERROR_ARGUMENT,
          "VRX_ByteArrayDstBuffer::initiate()");
    check(read.engine(&header, bytes.data(), 0, nullptr, Chunks::next), vrx::VRX_ERROR_ARGUMENT,
          "VRX_ReadMemoryEngine::initiate()");
    check(read.engine(&header, bytes.data(), 12, nullptr, nullptr), vrx::VRX_ERROR_ARGUMENT,
          "VRX_ReadMemoryEngine::initiate()");
    check(write.engine(nullptr, bytes.data(), 12), vrx::VRX_ERROR_ARGUMENT,
          "VRX_WriteMemory::engine()");
    check(vrx::VRX_WriteRawByteArray(&manager).engine(nullptr, bytes.data(), 12),
          vrx::VRX_ERROR_ARGUMENT, "VRX_WriteRawByteArray::engine()");
    check(write.engine(read.engine(&header, bytes.data(), 12), nullptr, 12),
          vrx::VRX_ERROR_ARGUMENT, "VRX_WriteRawByteArrayEngine::initiate()");
    check(write.engine(read.engine(&header, bytes.data(), 12), bytes.data(), 12, nullptr, nullptr),
          vrx::VRX_ERROR_ARGUMENT, "VRX_WriteMemoryEngine::initiate()");
    check(write.engine(read.engine(&header, bytes.data(), 12), bytes.data(), 0, nullptr,
                       Chunks::next),
          vrx::VRX_ERROR_ARGUMENT, "VRX_WriteMemoryEngine::initiate()");
    // The direct writer takes raw images only.
    VRX_Header encoded(&manager);
    gray8(encoded, 4, 3);
    encoded.encode_type(vrx::VRX_EncodeType::jpeg());
    check(vrx::VRX_WriteRawByteArray(&manager).engine(read.engine(&encoded, bytes.data(), 12),
                                                      bytes.data(), 12),
          vrx::VRX_ERROR_UNSUPPORTED, "VRX_WriteRawByteArrayEngine::initiate()");
    // A writer has no output to read.
    VRX_Engine* writer = write.engine(read.engine(&header, bytes.data(), 12), bytes.data(), 12);
    ASSERT_NE(writer, nullptr);
    check(write.engine(writer, bytes.data(), 12), vrx::VRX_ERROR_STATE,
          "VRX_NoOutputEngine::header()");
    manager.execute();
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

TEST(VRX_ByteArrayDstBuffer, Operations) {
    TestManager manager;
    VRX_Header header(&manager);
    gray8(header, 4, 2);
    std::vector<unsigned char> bytes = numbered_bytes(8);
    VRX_Engine* source = vrx::VRX_ReadMemory(&manager).engine(&header, bytes.data(), 8);
    ASSERT_NE(source, nullptr);
    auto* buffer = dynamic_cast<vrx::VRX_ByteArrayDstBuffer*>(
        static_cast<vrx::VRX_BufferOutputEngine*>(source)->dst_buffer());
    ASSERT_NE(buffer, nullptr);
    EXPECT_FALSE(buffer->is_short());
    EXPECT_EQ(buffer->get_block_bytes(), 4u);
    auto check = [&](bool ok, uint32_t code, const char* function) {
        EXPECT_FALSE(ok) << function;
        expect_status(manager, code, function);
        manager.reset();
    };
    check(buffer->get() != nullptr, vrx::VRX_ERROR_STATE, "VRX_ByteArrayDstBuffer::get()");
    check(buffer->release(4), vrx::VRX_ERROR_STATE, "VRX_ByteArrayDstBuffer::release()");
    check(buffer->block_bytes(0), vrx::VRX_ERROR_ARGUMENT, "VRX_ByteArrayDstBuffer::block_bytes()");
    check(source->execute(), vrx::VRX_ERROR_STATE, "VRX_ReadByteArrayEngine::execute()");
    vrx::VRX_SrcBuffer* src = source->src_buffer();  // sets the readers' block size
    check(buffer->block_bytes(8), vrx::VRX_ERROR_STATE, "VRX_ByteArrayDstBuffer::block_bytes()");
    check(buffer->src_block_bytes(0), vrx::VRX_ERROR_ARGUMENT,
          "VRX_ByteArrayDstBuffer::src_block_bytes()");
    unsigned char copy[4] = {};
    uint32_t count = 0;
    EXPECT_TRUE(src->get(copy, &count));
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(std::memcmp(copy, bytes.data(), 4), 0);
    check(buffer->src_block_bytes(2), vrx::VRX_ERROR_STATE,
          "VRX_ByteArrayDstBuffer::src_block_bytes()");
    EXPECT_TRUE(src->release());
    EXPECT_NE(src->get(), nullptr);
    EXPECT_TRUE(src->release());
    EXPECT_EQ(src->get(), nullptr);  // the end of an array that holds the whole image
    EXPECT_EQ(manager.status().code, 0u);
    EXPECT_EQ(buffer->read_count(), 8u);
    src->destroy();
    EXPECT_TRUE(manager.execute());
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

}  // namespace
