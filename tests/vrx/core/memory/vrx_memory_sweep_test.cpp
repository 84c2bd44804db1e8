// Failing-allocation sweep over whole chains that start and end in memory:
// for every N up to the chain's total the N-th allocation fails. No step may
// crash or leak, and a job that lost an allocation never ends in success.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/vrx/core/memory/memory_chain.h"
#include "tests/vrx/framework/support/allocation_sweep.h"
#include "tests/vrx/framework/support/test_engines.h"
#include "tests/vrx/framework/support/test_manager.h"
#include "vrx/core/memory/vrx_readmemory.h"
#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/utility/vrx_ringbufferoutlinecopy.h"

namespace {

using namespace vrx_test;
using vrx::VRX_Engine;
using vrx::VRX_Header;

// Builds and runs a chain; true when its output is right.
using Chain = std::function<bool(TestManager&)>;

// ReadMemory -> invert -> WriteMemory; chunk 0 is the direct form.
Chain read_invert_write(ImageSpec spec, uint32_t read_chunk, uint32_t write_chunk) {
    return [=](TestManager& m) {
        VRX_Header header(&m);
        describe(header, spec);
        std::vector<unsigned char> image = numbered_bytes(image_bytes(spec));
        std::vector<unsigned char> out(image.size());
        const uint32_t size = static_cast<uint32_t>(image.size());
        Chunks in(image.data(), size, read_chunk ? read_chunk : size);
        Chunks to(out.data(), size, write_chunk ? write_chunk : size);
        vrx::VRX_MemoryCallback read_cb = read_chunk ? Chunks::next : vrx::default_memory_callback;
        vrx::VRX_MemoryCallback write_cb =
            write_chunk ? Chunks::next : vrx::default_memory_callback;
        VRX_Engine* writer = vrx::VRX_WriteMemory(&m).engine(
            InvertCreator(&m).engine(vrx::VRX_ReadMemory(&m).engine(
                &header, image.data(), in.first_size(), nullptr, read_cb, &in)),
            out.data(), to.first_size(), nullptr, write_cb, &to);
        if (!writer) return false;
        run_to_end(writer);
        return out == inverted(spec, image);
    };
}

bool branch_to_two_writers(TestManager& m) {
    const ImageSpec spec{6, 5, 8, 3};
    VRX_Header header(&m);
    describe(header, spec);
    std::vector<unsigned char> image = numbered_bytes(image_bytes(spec));
    std::vector<unsigned char> a(image.size()), b(image.size());
    const uint32_t size = static_cast<uint32_t>(image.size());
    Chunks chunks(b.data(), size, 7);
    VRX_Engine* invert =
        InvertCreator(&m).engine(vrx::VRX_ReadMemory(&m).engine(&header, image.data(), size));
    if (!invert) return false;
    VRX_Engine *wa = nullptr, *wb = nullptr;
    {
        vrx::VRX_Vector<VRX_Engine*> branches = invert->branch(2);
        if (branches.size() != 2) return false;
        vrx::VRX_WriteMemory write(&m);
        wa = write.engine(branches[0], a.data(), size);
        wb = write.engine(branches[1], b.data(), chunks.first_size(), nullptr, Chunks::next,
                          &chunks);
    }
    if (!wa || !wb) return false;
    run_to_end(wb);
    run_to_end(wa);
    const std::vector<unsigned char> expected = inverted(spec, image);
    return a == expected && b == expected;
}

bool ring_over_memory(TestManager& m) {
    const ImageSpec spec{5, 4, 16, 1};
    VRX_Header header(&m);
    describe(header, spec);
    std::vector<unsigned char> image = numbered_bytes(image_bytes(spec));
    Chunks chunks(image.data(), static_cast<uint32_t>(image.size()), 9);
    VRX_Engine* source = InvertCreator(&m).engine(vrx::VRX_ReadMemory(&m).engine(
        &header, image.data(), chunks.first_size(), nullptr, Chunks::next, &chunks));
    vrx::VRX_SrcBuffer* src = source ? source->src_buffer() : nullptr;
    auto* ring =
        vrx::VRX_RingBufferOutlineCopy::create(&m, src, &header, vrx::VRX_KernelAttr{3, 3, 1, 1});
    bool ok = ring != nullptr;
    for (uint32_t y = 0; ok && y < spec.height; ++y) ok = ring->update();
    // The last window's middle line is the last image line, inverted.
    ok = ok && static_cast<unsigned char>(~ring->line(1)[2]) == image[30];
    vrx::destroy(ring);
    vrx::destroy(src);
    return ok;
}

bool encoded_stream(TestManager& m) {
    VRX_Header header(&m);
    gray8(header, 64, 64);
    header.encode_type(vrx::VRX_EncodeType::pack_bits());
    std::vector<unsigned char> stream = numbered_bytes(9000);
    std::vector<unsigned char> out(9000);
    Chunks chunks(stream.data(), 9000, 3000);
    VRX_Engine* writer = vrx::VRX_WriteMemory(&m).engine(
        vrx::VRX_ReadMemory(&m).engine(&header, stream.data(), chunks.first_size(), nullptr,
                                       Chunks::next, &chunks),
        out.data(), 9000);
    if (!writer) return false;
    run_to_end(writer);
    return out == stream;
}

struct Named {
    const char* name;
    Chain chain;
};

class MemorySweep : public ::testing::TestWithParam<Named> {};

TEST_P(MemorySweep, NeverCrashesLeaksOrSucceedsAfterAFailure) {
    const uint64_t n = sweep_allocation_failures(GetParam().name, 20000, GetParam().chain);
    EXPECT_GT(n, 5u);
    EXPECT_LT(n, 20000u);
}

INSTANTIATE_TEST_SUITE_P(
    Chains, MemorySweep,
    ::testing::Values(Named{"direct", read_invert_write({7, 6, 16, 1}, 0, 0)},
                      Named{"callbacks", read_invert_write({7, 6, 16, 1}, 5, 9)},
                      Named{"one_bit_lines", read_invert_write({13, 4, 1, 1}, 0, 0)},
                      Named{"wide_samples", read_invert_write({3, 5, 64, 1}, 11, 0)},
                      Named{"branch", branch_to_two_writers},
                      Named{"ring_buffer", ring_over_memory}, Named{"encoded", encoded_stream}),
    [](const ::testing::TestParamInfo<Named>& info) { return std::string(info.param.name); });

}  // namespace
