#pragma once
// What the imaging benchmarks share: random frames, the header of a frame,
// and a chain run memory to memory once per iteration.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "vrx/core/memory/vrx_readmemory.h"
#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

namespace vrx_bench {

// `n` random bytes, the same for every run.
inline std::vector<uint8_t> random_bytes(size_t n) {
    std::vector<uint8_t> bytes(n);
    std::mt19937 random(7);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    return bytes;
}

// A frame of width x height pixels of `channels` samples of `bits` bits.
struct Frame {
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bits = 8;
    uint16_t channels = 1;
    const vrx::VRX_DataType* type = vrx::VRX_DataType::u_integer();
    const vrx::VRX_ColorType* color = vrx::VRX_ColorType::gray();
};

inline void describe(vrx::VRX_Header& header, const Frame& f) {
    header.width = f.width;
    header.height = f.height;
    header.bits = f.bits;
    header.channels = f.channels;
    header.data_type(f.type);
    header.color_type(f.color);
}

// Runs `last` (an engine without output, such as a writer) to its end; the
// job's result.
inline bool run(vrx::VRX_Manager& manager, vrx::VRX_Engine* last) {
    if (!last) return false;
    while (last->execute()) {
    }
    return manager.execute();
}

// One run per iteration of: `in` read from memory as `frame`, the stages
// `stages(manager, reader)` puts behind the reader, and a write of their
// output to `out`.
template <class Stages>
void run_chain(benchmark::State& state, const Frame& frame, const void* in, size_t in_bytes,
               void* out, size_t out_bytes, Stages stages) {
    for (auto _ : state) {
        vrx::VRX_DefaultManager manager;
        vrx::VRX_Header header(&manager);
        describe(header, frame);
        vrx::VRX_Engine* e = vrx::VRX_ReadMemory(&manager).engine(
            &header, in, static_cast<uint32_t>(in_bytes));
        e = stages(manager, e);
        vrx::VRX_Engine* writer =
            vrx::VRX_WriteMemory(&manager).engine(e, out, static_cast<uint32_t>(out_bytes));
        if (!run(manager, writer)) {
            state.SkipWithError("chain failed");
            break;
        }
        benchmark::DoNotOptimize(out);
    }
}

}  // namespace vrx_bench
