// The render chain's two ends: ReadMemory -> a trivial line engine ->
// WriteMemory over a 2048 x 2048 16-bit image, against a plain memcpy of the
// same bytes. Items are bytes; compare the bytes_per_second columns.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/vrx/vrx_chain_bench.h"
#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/engine/vrx_processlinetolineengine.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

namespace {

using namespace vrx;

constexpr uint32_t kSide = 2048;
constexpr size_t kBytes = size_t{kSide} * kSide * 2;

// Copies each line unchanged.
class CopyLineEngine : public VRX_ProcessLineToLineEngine {
public:
    explicit CopyLineEngine(VRX_Manager* manager) : VRX_ProcessLineToLineEngine(manager) {}
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst) override {
        if (!check_version(VRX_INTERFACE_VERSION, "CopyLineEngine::initiate()", __FILE__, __LINE__))
            return false;
        return VRX_ProcessLineToLineEngine::initiate(header, src, dst) &&
               header_.line_bytes(bytes_) && dst->block_bytes(bytes_);
    }

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override {
        std::memcpy(dst, src, bytes_);
        return true;
    }

private:
    uint32_t bytes_ = 0;
};

class CopyLine : public VRX_EngineCreator {
public:
    explicit CopyLine(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    VRX_Engine* engine(VRX_Engine* input) {
        if (!input) return nullptr;
        VRX_SrcBuffer* src = input->src_buffer();
        VRX_DstBuffer* dst = manager_->new_dst_buffer();
        const VRX_Header* header = input->header();
        return make_engine<CopyLineEngine>(
            src, dst, [&](CopyLineEngine* e) { return e->initiate(header, src, dst); });
    }
};

// Hands out the rest of an array in blocks of 64 KiB.
struct Blocks {
    unsigned char* base;
    size_t offset;
    static bool next(VRX_MemoryCallbackInfo* info) {
        auto* self = static_cast<Blocks*>(info->user_data);
        if (self->offset >= kBytes) return false;
        const size_t n = std::min<size_t>(65536, kBytes - self->offset);
        info->memory = self->base + self->offset;
        info->size = static_cast<uint32_t>(n);
        self->offset += n;
        return true;
    }
};

void BM_Memcpy(benchmark::State& state) {
    std::vector<unsigned char> in(kBytes, 7), out(kBytes);
    for (auto _ : state) {
        std::memcpy(out.data(), in.data(), kBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

// state.range(0): 0 direct forms (in place), 1 callbacks over 64 KiB blocks.
// state.range(1): line engines between reader and writer.
void BM_ReadLineWrite(benchmark::State& state) {
    const bool callbacks = state.range(0) != 0;
    const int64_t stages = state.range(1);
    std::vector<unsigned char> in(kBytes, 7), out(kBytes);
    for (auto _ : state) {
        VRX_DefaultManager manager;
        VRX_Header header(&manager);
        vrx_bench::describe(header, {kSide, kSide, 16});
        Blocks from{in.data(), 65536}, to{out.data(), 65536};
        VRX_MemoryCallback callback = callbacks ? Blocks::next : default_memory_callback;
        const uint32_t first = callbacks ? 65536u : static_cast<uint32_t>(kBytes);
        VRX_Engine* engine =
            VRX_ReadMemory(&manager).engine(&header, in.data(), first, nullptr, callback, &from);
        for (int64_t i = 0; i < stages; ++i) engine = CopyLine(&manager).engine(engine);
        VRX_Engine* writer =
            VRX_WriteMemory(&manager).engine(engine, out.data(), first, nullptr, callback, &to);
        if (!writer) {
            state.SkipWithError("the chain could not be built");
            break;
        }
        while (writer->execute()) {
        }
        if (!manager.execute()) {
            state.SkipWithError("the chain failed");
            break;
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
BENCHMARK(BM_ReadLineWrite)
    ->ArgNames({"callbacks", "stages"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({0, 3})
    ->Unit(benchmark::kMillisecond);

}  // namespace
