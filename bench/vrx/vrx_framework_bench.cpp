// Framework overhead: the library's containers against the standard ones, and
// the cost of moving lines through a chain (generator, line engine, analyser).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/vrx/vrx_chain_bench.h"
#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/engine/vrx_analyzelineengine.h"
#include "vrx/framework/engine/vrx_generateengine.h"
#include "vrx/framework/engine/vrx_nop.h"
#include "vrx/framework/include/vrx_map.h"
#include "vrx/framework/include/vrx_vector.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

namespace {

using namespace vrx;

void BM_VectorPushBack(benchmark::State& state) {
    VRX_DefaultManager manager;
    for (auto _ : state) {
        VRX_Vector<unsigned> v(&manager);
        for (unsigned i = 0; i < 4096; ++i) v.push_back(i);
        benchmark::DoNotOptimize(v.data());
    }
}
BENCHMARK(BM_VectorPushBack);

void BM_StdVectorPushBack(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<unsigned> v;
        for (unsigned i = 0; i < 4096; ++i) v.push_back(i);
        benchmark::DoNotOptimize(v.data());
    }
}
BENCHMARK(BM_StdVectorPushBack);

void BM_MapInsertErase(benchmark::State& state) {
    VRX_DefaultManager manager;
    std::vector<int> keys(256);
    for (int i = 0; i < 256; ++i) keys[i] = (i * 97) % 256;
    for (auto _ : state) {
        VRX_Map<int, int> map(&manager);
        for (int k : keys) map.insert(k, k);
        for (int k : keys) map.erase(k);
    }
}
BENCHMARK(BM_MapInsertErase);

// Writes lines of a constant byte.
class FillEngine : public VRX_GenerateEngine {
public:
    explicit FillEngine(VRX_Manager* manager) : VRX_GenerateEngine(manager) {}
    bool initiate(const VRX_Header* header, VRX_DstBuffer* dst) override {
        return VRX_GenerateEngine::initiate(header, dst) && header_.line_bytes(bytes_) &&
               dst->block_bytes(bytes_);
    }
    bool execute() override {
        if (line_ >= header_.height) return false;
        unsigned char* out = dst_buffer_->get();
        if (!out) return false;
        std::memset(out, 0x5A, bytes_);
        ++line_;
        return dst_buffer_->release(bytes_);
    }

private:
    uint32_t bytes_ = 0;
    uint32_t line_ = 0;
};

// Reads every line and sums one byte of it.
class SumEngine : public VRX_AnalyzeLineEngine {
public:
    explicit SumEngine(VRX_Manager* manager) : VRX_AnalyzeLineEngine(manager) {}
    uint64_t sum = 0;

protected:
    bool analyze_line(const unsigned char* src) override {
        sum += src[0];
        return true;
    }
};

class BenchCreator : public VRX_EngineCreator {
public:
    using VRX_EngineCreator::VRX_EngineCreator;
    VRX_Engine* fill(const VRX_Header* header) {
        VRX_DstBuffer* dst = manager_->new_dst_buffer();
        return make_engine<FillEngine>(nullptr, dst,
                                       [&](FillEngine* e) { return e->initiate(header, dst); });
    }
    SumEngine* sum(VRX_Engine* input) {
        VRX_SrcBuffer* src = input ? input->src_buffer() : nullptr;
        const VRX_Header* header = input ? input->header() : nullptr;
        return make_engine<SumEngine>(src, nullptr,
                                      [&](SumEngine* e) { return e->initiate(header, src); });
    }
};

// Lines of `width` bytes through `stages` pass-through engines.
void BM_ChainLines(benchmark::State& state) {
    const uint32_t width = static_cast<uint32_t>(state.range(0));
    const int stages = static_cast<int>(state.range(1));
    const uint32_t height = 512;
    for (auto _ : state) {
        VRX_DefaultManager manager;
        VRX_Header header(&manager);
        vrx_bench::describe(header, {width, height});
        BenchCreator creator(&manager);
        VRX_Nop nop(&manager);
        VRX_Engine* engine = creator.fill(&header);
        for (int i = 0; i < stages && engine; ++i)
            engine = nop.engine(engine->header(), engine->src_buffer());
        SumEngine* last = creator.sum(engine);
        while (last && last->execute()) {
        }
        benchmark::DoNotOptimize(last ? last->sum : 0);
        manager.execute();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * width * height);
}
BENCHMARK(BM_ChainLines)->Args({512, 0})->Args({512, 4})->Args({4096, 4});

}  // namespace
