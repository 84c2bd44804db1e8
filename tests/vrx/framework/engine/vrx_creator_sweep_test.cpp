// Failing-allocation sweep: every chain is built and run under a manager whose
// N-th allocation fails, for every N up to the chain's total. No step may
// crash, leak or end the job with a success status.
#include <gtest/gtest.h>

#include <functional>

#include "tests/vrx/framework/support/allocation_sweep.h"
#include "tests/vrx/framework/support/test_engines.h"
#include "tests/vrx/framework/support/test_manager.h"
#include "vrx/framework/engine/vrx_nop.h"
#include "vrx/framework/engine/vrx_rewriteheader.h"

namespace {

using namespace vrx_test;
using vrx::VRX_Engine;
using vrx::VRX_Header;

// Builds a chain under the manager, runs it and tells whether the output is right.
using Scenario = std::function<bool(TestManager&)>;

bool run_into(VRX_Engine* last, Lines& out, const Lines& expected) {
    if (!last) return false;
    run_to_end(last);
    return out == expected;
}

bool pattern_invert(TestManager& m) {
    VRX_Header header(&m);
    gray8(header, 7, 5);
    PatternCreator pattern(&m);
    InvertCreator invert(&m);
    CollectCreator collect(&m);
    Lines out;
    return run_into(collect.engine(invert.engine(pattern.engine(&header)), &out), out,
                    inverted(pattern_lines(header)));
}

bool pattern_nop(TestManager& m) {
    VRX_Header header(&m);
    gray8(header, 10, 4);
    PatternCreator pattern(&m);
    VRX_Engine* source = pattern.engine(&header);
    vrx::VRX_SrcBuffer* src = source ? source->src_buffer() : nullptr;
    if (src && !src->block_bytes(4)) {
        src->destroy();
        src = nullptr;
    }
    vrx::VRX_Nop nop(&m);
    VRX_Engine* copy = nop.engine(source ? source->header() : nullptr, src);
    CollectCreator collect(&m);
    Lines out;
    return run_into(collect.engine(copy, &out), out, pattern_lines(header));
}

bool pattern_rewrite(TestManager& m) {
    VRX_Header header(&m);
    gray8(header, 6, 3);
    VRX_Header wide(&m);
    gray16(wide, 3, 3);
    PatternCreator pattern(&m);
    vrx::VRX_RewriteHeader rewrite(&m);
    CollectCreator collect(&m);
    Lines out;
    return run_into(collect.engine(rewrite.engine(pattern.engine(&header), &wide), &out), out,
                    pattern_lines(header));
}

bool pattern_branch(TestManager& m) {
    VRX_Header header(&m);
    gray8(header, 5, 6);
    PatternCreator pattern(&m);
    CollectCreator collect(&m);
    VRX_Engine* source = pattern.engine(&header);
    if (!source) return false;
    Lines a, b;
    VRX_Engine *ea = nullptr, *eb = nullptr;
    {
        vrx::VRX_Vector<VRX_Engine*> branches = source->branch(2);
        if (branches.size() != 2) return false;
        ea = collect.engine(branches[0], &a);
        eb = collect.engine(branches[1], &b);
    }
    const Lines expected = pattern_lines(header);
    const bool first = run_into(ea, a, expected);
    const bool second = run_into(eb, b, expected);
    return first && second;
}

bool pattern_add(TestManager& m) {
    VRX_Header header(&m);
    gray8(header, 4, 4);
    PatternCreator pattern(&m);
    AddCreator add(&m);
    CollectCreator collect(&m);
    Lines out;
    return run_into(
        collect.engine(add.engine(pattern.engine(&header), pattern.engine(&header)), &out), out,
        doubled(pattern_lines(header)));
}

bool header_copy(TestManager& m) {
    VRX_Header header(&m);
    gray8(header, 4, 4);
    header.bits = 8;
    header.palette().bits = 8;
    header.palette().channels = 3;
    header.palette().entries = 2;
    const unsigned char bytes[6] = {1, 2, 3, 4, 5, 6};
    if (!header.palette().value(bytes, 6)) return false;
    VRX_Header* copy = VRX_Header::create(&m, header);
    const bool ok = copy && copy->palette().value() && copy->palette().value()[5] == 6;
    vrx::destroy(copy);
    return ok;
}

struct Named {
    const char* name;
    Scenario scenario;
};

class CreatorSweep : public ::testing::TestWithParam<Named> {};

TEST_P(CreatorSweep, NeverCrashesLeaksOrSucceedsAfterAFailure) {
    const uint64_t n = sweep_allocation_failures(GetParam().name, 10000, GetParam().scenario);
    EXPECT_GT(n, 3u);
    EXPECT_LT(n, 10000u);
}

INSTANTIATE_TEST_SUITE_P(
    Chains, CreatorSweep,
    ::testing::Values(Named{"pattern_invert", pattern_invert}, Named{"pattern_nop", pattern_nop},
                      Named{"pattern_rewrite", pattern_rewrite},
                      Named{"pattern_branch", pattern_branch}, Named{"pattern_add", pattern_add},
                      Named{"header_copy", header_copy}),
    [](const ::testing::TestParamInfo<Named>& info) { return std::string(info.param.name); });

// Every allocation from the N-th on fails: the rest of the job runs without memory.
TEST(CreatorSweepExhausted, MemoryRunsOutForGood) {
    for (uint64_t n = 1; n < 200; ++n) {
        FailingMemoryManager::plan_next(n, true);
        TestManager manager;
        pattern_branch(manager);
        pattern_add(manager);
        vrx::VRX_Status out(&manager);
        const bool job_ok = manager.execute(out);
        if (manager.memory_manager().failures() == 0) break;
        EXPECT_FALSE(job_ok) << n;
    }
}

}  // namespace
