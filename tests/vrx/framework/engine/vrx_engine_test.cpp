// The engine tree run through real chains: generator, line engine, analyser,
// pass-through, header rewrite, branches and a two-input engine.
#include <gtest/gtest.h>

#include "tests/vrx/framework/support/test_engines.h"
#include "tests/vrx/framework/support/test_manager.h"
#include "vrx/framework/buffer/vrx_dstbufferproxy.h"
#include "vrx/framework/engine/vrx_nop.h"
#include "vrx/framework/engine/vrx_nopengine.h"
#include "vrx/framework/engine/vrx_rewriteheader.h"
#include "vrx/framework/manager/vrx_relationforst.h"

namespace {

using namespace vrx_test;
using vrx::VRX_Engine;
using vrx::VRX_Header;
using vrx::VRX_Status;

size_t registered(TestManager& manager) {
    return static_cast<vrx::VRX_RelationForST*>(manager.relation())->engine_count();
}

// After the job, only the manager's own parts hold memory.
void expect_torn_down(TestManager& manager, bool ok) {
    VRX_Status out(&manager);
    EXPECT_EQ(manager.execute(out), ok) << out.function;
    EXPECT_EQ(registered(manager), 0u);
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

TEST(EngineChain, GenerateProcessAnalyze) {
    TestManager manager;
    VRX_Header header(&manager);
    gray8(header, 5, 4);
    PatternCreator pattern(&manager);
    InvertCreator invert(&manager);
    CollectCreator collect(&manager);
    Lines out;
    VRX_Engine* last = collect.engine(invert.engine(pattern.engine(&header)), &out);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(registered(manager), 3u);
    EXPECT_EQ(run_to_end(last), 4);
    EXPECT_EQ(out, inverted(pattern_lines(header)));
    EXPECT_FALSE(last->execute());
    expect_torn_down(manager, true);
}

TEST(EngineChain, WideLinesUseTheStagingArea) {
    // Lines of 10 bytes read in blocks of 4 by a pass-through: the producer's
    // blocks straddle memory blocks.
    TestManager manager;
    VRX_Header header(&manager);
    gray8(header, 10, 6);
    PatternCreator pattern(&manager);
    VRX_Engine* source = pattern.engine(&header);
    ASSERT_NE(source, nullptr);
    vrx::VRX_SrcBuffer* src = source->src_buffer();
    ASSERT_NE(src, nullptr);
    ASSERT_TRUE(src->block_bytes(4));
    vrx::VRX_Nop nop(&manager);
    VRX_Engine* copy = nop.engine(source->header(), src);
    ASSERT_NE(copy, nullptr);
    CollectCreator collect(&manager);
    Lines out;
    VRX_Engine* last = collect.engine(copy, &out);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(run_to_end(last), 6);
    EXPECT_EQ(out, pattern_lines(header));
    expect_torn_down(manager, true);
}

TEST(EngineChain, RewriteHeaderKeepsThePixels) {
    TestManager manager;
    VRX_Header header(&manager);
    gray8(header, 4, 3);
    VRX_Header wide(&manager);
    gray16(wide, 2, 3);
    PatternCreator pattern(&manager);
    vrx::VRX_RewriteHeader rewrite(&manager);
    CollectCreator collect(&manager);
    VRX_Engine* rewritten = rewrite.engine(pattern.engine(&header), &wide);
    ASSERT_NE(rewritten, nullptr);
    const VRX_Header* h = rewritten->header();
    EXPECT_EQ(h->width, 2u);
    EXPECT_EQ(h->bits, 16u);
    Lines out;
    VRX_Engine* last = collect.engine(rewritten, &out);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(run_to_end(last), 3);
    EXPECT_EQ(out, pattern_lines(header));
    expect_torn_down(manager, true);
}

TEST(EngineChain, RewriteToAnEncodedHeader) {
    TestManager manager;
    VRX_Header header(&manager);
    gray8(header, 4, 3);
    VRX_Header encoded(&manager);
    ASSERT_TRUE(encoded.assign(header));
    encoded.encode_type(vrx::VRX_EncodeType::pack_bits());
    PatternCreator pattern(&manager);
    vrx::VRX_RewriteHeader rewrite(&manager);
    VRX_Engine* rewritten = rewrite.engine(pattern.engine(&header), &encoded);
    ASSERT_NE(rewritten, nullptr);
    EXPECT_EQ(rewritten->header()->encode_type(), vrx::VRX_EncodeType::pack_bits());
    // A line engine refuses encoded data.
    InvertCreator invert(&manager);
    EXPECT_EQ(invert.engine(rewritten), nullptr);
    expect_status(manager, vrx::VRX_ERROR_UNSUPPORTED, "VRX_ProcessLineToLineEngine::initiate()");
    expect_torn_down(manager, false);
}

TEST(EngineChain, BranchFeedsSeveralReaders) {
    TestManager manager;
    VRX_Header header(&manager);
    gray8(header, 3, 5);
    PatternCreator pattern(&manager);
    VRX_Engine* source = pattern.engine(&header);
    ASSERT_NE(source, nullptr);
    CollectCreator collect(&manager);
    InvertCreator invert(&manager);
    Lines a, b, c;
    VRX_Engine *ea = nullptr, *eb = nullptr, *ec = nullptr;
    {
        vrx::VRX_Vector<VRX_Engine*> branches = source->branch(3);
        ASSERT_EQ(branches.size(), 3u);
        ea = collect.engine(branches[0], &a);
        eb = collect.engine(invert.engine(branches[1]), &b);
        ec = collect.engine(branches[2], &c);
    }
    ASSERT_TRUE(ea && eb && ec);
    // The readers move at their own pace.
    EXPECT_EQ(run_to_end(ea, 2), 2);
    EXPECT_EQ(run_to_end(eb), 5);
    EXPECT_EQ(run_to_end(ea), 3);
    EXPECT_EQ(run_to_end(ec), 5);
    EXPECT_EQ(a, pattern_lines(header));
    EXPECT_EQ(b, inverted(pattern_lines(header)));
    EXPECT_EQ(c, a);
    expect_torn_down(manager, true);
}

TEST(EngineChain, BranchThatCannotBeServed) {
    TestManager manager;
    VRX_Header header(&manager);
    gray8(header, 3, 2);
    PatternCreator pattern(&manager);
    VRX_Engine* source = pattern.engine(&header);
    ASSERT_NE(source, nullptr);
    EXPECT_TRUE(source->branch(0).empty());
    expect_status(manager, vrx::VRX_ERROR_ARGUMENT, "VRX_DstBufferImpl::create_src_buffer()");
    EXPECT_EQ(registered(manager), 1u);
    expect_torn_down(manager, false);
}

TEST(EngineChain, AnOutputHasOneSingleReader) {
    TestManager manager;
    VRX_Header header(&manager);
    gray8(header, 3, 2);
    PatternCreator pattern(&manager);
    VRX_Engine* source = pattern.engine(&header);
    vrx::VRX_SrcBuffer* first = source->src_buffer();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(source->src_buffer(), nullptr);
    expect_status(manager, vrx::VRX_ERROR_STATE, "VRX_DstBufferImpl::create_src_buffer()");
    first->destroy();
    expect_torn_down(manager, false);
}

TEST(EngineChain, TwoInputs) {
    TestManager manager;
    VRX_Header header(&manager);
    gray8(header, 6, 3);
    PatternCreator pattern(&manager);
    AddCreator add(&manager);
    CollectCreator collect(&manager);
    Lines out;
    VRX_Engine* last =
        collect.engine(add.engine(pattern.engine(&header), pattern.engine(&header)), &out);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(run_to_end(last), 3);
    EXPECT_EQ(out, doubled(pattern_lines(header)));
    expect_torn_down(manager, true);
}

TEST(EngineRefusals, NoOutputEngine) {
    TestManager manager;
    VRX_Header header(&manager);
    gray8(header, 2, 2);
    PatternCreator pattern(&manager);
    CollectCreator collect(&manager);
    Lines out;
    VRX_Engine* sink = collect.engine(pattern.engine(&header), &out);
    ASSERT_NE(sink, nullptr);
    struct Case {
        const char* function;
        bool (*call)(VRX_Engine*);
    } cases[] = {
        {"VRX_NoOutputEngine::header()", [](VRX_Engine* e) { return e->header() == nullptr; }},
        {"VRX_NoOutputEngine::src_buffer()",
         [](VRX_Engine* e) { return e->src_buffer() == nullptr; }},
        {"VRX_NoOutputEngine::branch()", [](VRX_Engine* e) { return e->branch(2).empty(); }},
    };
    for (const Case& c : cases) {
        manager.reset();
        EXPECT_TRUE(c.call(sink)) << c.function;
        expect_status(manager, vrx::VRX_ERROR_STATE, c.function);
    }
    expect_torn_down(manager, false);
}

TEST(EngineRefusals, NullInputsLeaveNothingRegistered) {
    struct Case {
        const char* function;
        VRX_Engine* (*build)(TestManager&);
    } cases[] = {
        {"VRX_RewriteHeader::engine()",
         [](TestManager& m) {
             VRX_Header h(&m);
             return vrx::VRX_RewriteHeader(&m).engine(nullptr, &h);
         }},
        {"VRX_BufferInputEngine::initiate()",
         [](TestManager& m) {
             VRX_Header h(&m);
             gray8(h, 2, 2);
             return vrx::VRX_Nop(&m).engine(&h, nullptr);
         }},
        {"VRX_BufferOutputEngine::initiate()",
         [](TestManager& m) { return vrx::VRX_Nop(&m).engine(nullptr, nullptr); }},
        {"VRX_GenerateEngine::initiate()",
         [](TestManager& m) {
             VRX_Header h(&m);  // width 0: not valid
             return PatternCreator(&m).engine(&h);
         }},
    };
    for (const Case& c : cases) {
        TestManager manager;
        EXPECT_EQ(c.build(manager), nullptr) << c.function;
        EXPECT_EQ(manager.status().code, vrx::VRX_ERROR_ARGUMENT) << c.function;
        EXPECT_STREQ(manager.status().function, c.function);
        expect_torn_down(manager, false);
    }
}

TEST(EngineRefusals, VersionGate) {
    for (uint32_t version : {0x01040101u, 0x01050100u, 0x01030100u}) {
        TestManager manager;
        VRX_Header header(&manager);
        gray8(header, 2, 2);
        PatternCreator pattern(&manager);
        InvertCreator invert(&manager);
        EXPECT_EQ(invert.engine(pattern.engine(&header), version), nullptr);
        expect_status(manager, vrx::VRX_ERROR_VERSION, "InvertEngine::initiate()");
        expect_torn_down(manager, false);
    }
    TestManager manager;
    VRX_Header header(&manager);
    gray8(header, 2, 2);
    PatternCreator pattern(&manager);
    InvertCreator invert(&manager);
    EXPECT_NE(invert.engine(pattern.engine(&header), vrx::VRX_INTERFACE_VERSION_BASE), nullptr);
    expect_torn_down(manager, true);
}

TEST(EngineRefusals, ChainStopsBuildingAfterTheFirstError) {
    TestManager manager;
    VRX_Header header(&manager);
    gray8(header, 2, 2);
    manager.report(vrx::VRX_ERROR_DATA, "Reader::load()", "reader.cpp", 1);
    PatternCreator pattern(&manager);
    EXPECT_EQ(pattern.engine(&header), nullptr);
    EXPECT_EQ(manager.error_handler()->reports.size(), 1u);  // nothing further reported
    expect_torn_down(manager, false);
}

TEST(EngineRefusals, AnalyserNeedsRawLines) {
    TestManager manager;
    VRX_Header header(&manager);
    gray8(header, 2, 2);
    header.encode_type(vrx::VRX_EncodeType::jpeg());
    PatternCreator pattern(&manager);
    CollectCreator collect(&manager);
    Lines out;
    EXPECT_EQ(collect.engine(pattern.engine(&header), &out), nullptr);
    expect_status(manager, vrx::VRX_ERROR_UNSUPPORTED, "VRX_AnalyzeLineEngine::initiate()");
    expect_torn_down(manager, false);
}

TEST(EngineRefusals, MultiInputArguments) {
    TestManager manager;
    VRX_Header header(&manager);
    gray8(header, 2, 2);
    {
        vrx::VRX_Vector<const VRX_Header*> headers(&manager);
        vrx::VRX_Vector<vrx::VRX_SrcBuffer*> sources(&manager);
        auto try_initiate = [&] {
            manager.reset();
            AddEngine* engine = vrx::construct<AddEngine>(&manager);
            vrx::VRX_DstBuffer* dst = manager.new_dst_buffer();
            const bool ok = engine->initiate(headers, sources, dst);
            engine->destroy();
            vrx::destroy(dst);
            return ok;
        };
        EXPECT_FALSE(try_initiate());
        EXPECT_STREQ(manager.status().function, "VRX_MultiInputProcessEngine::initiate()");
        headers.push_back(&header);
        EXPECT_FALSE(try_initiate());  // one header, no source
        EXPECT_STREQ(manager.status().function, "VRX_NBuffersInputEngine::initiate()");
        sources.push_back(nullptr);
        EXPECT_FALSE(try_initiate());  // a null source
        EXPECT_STREQ(manager.status().function, "VRX_NBuffersInputEngine::initiate()");
        headers.push_back(nullptr);
        sources.push_back(nullptr);
        EXPECT_FALSE(try_initiate());  // a null header
        EXPECT_STREQ(manager.status().function, "VRX_NBuffersInputEngine::initiate()");
    }
    expect_torn_down(manager, false);
}

// An engine whose output header the test sets directly.
class HeaderOnly : public PatternEngine {
public:
    using PatternEngine::PatternEngine;
    VRX_Header& out() { return header_; }
};

TEST(BlockWorkflow, DestinationSize) {
    struct Case {
        uint32_t width, height;
        uint16_t bits, channels;
        bool ok;
        uint32_t capacity;
    } cases[] = {
        {4, 3, 8, 1, true, 12},         {9, 2, 1, 1, true, 4},
        {0, 3, 8, 1, false, 0},         {3, 0, 8, 1, false, 0},
        {65536, 65536, 8, 4, false, 0}, {65536, 16383, 8, 4, true, 0xFFFC0000u},
    };
    for (const Case& c : cases) {
        TestManager manager;
        HeaderOnly* engine = vrx::construct<HeaderOnly>(&manager);
        engine->out().width = c.width;
        engine->out().height = c.height;
        engine->out().bits = c.bits;
        engine->out().channels = c.channels;
        vrx::VRX_DstBufferBase* buffer = manager.workflow()->create_dst_buffer(engine);
        EXPECT_EQ(buffer != nullptr, c.ok) << c.width << "x" << c.height;
        if (buffer) {
            EXPECT_EQ(buffer->capacity(), c.capacity);
            buffer->destroy();
        } else {
            expect_status(manager, vrx::VRX_ERROR_UNSUPPORTED, "VRX_BlockWorkflow::create_dst_buffer()");
        }
        // Encoded output gets the fixed capacity whatever its size.
        engine->out().encode_type(vrx::VRX_EncodeType::jpeg());
        buffer = manager.workflow()->create_dst_buffer(engine);
        ASSERT_NE(buffer, nullptr);
        EXPECT_EQ(buffer->capacity(), 0x40000000u);
        buffer->destroy();
        engine->destroy();
        expect_torn_down(manager, c.ok);
    }
}

TEST(LineEngine, HeightZeroEndsAtOnce) {
    TestManager manager;
    InvertEngine* engine = vrx::construct<InvertEngine>(&manager);
    EXPECT_FALSE(engine->execute());
    EXPECT_EQ(engine->lines_done(), 0u);
    engine->destroy();
    expect_torn_down(manager, true);
}

}  // namespace
