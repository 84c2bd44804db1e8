// Colour-space conversion: whole chains (read memory, convert, write memory)
// of a 2048 x 2048 8-bit frame, YCbCr to sRGB (Q12 3 x 3 matrix) and sRGB to
// L* (33^3 direct table); one VRX_ColorSpace::engine call alone (the plan
// and its tables, built again for every chain) for a 33^3 and a 33^4 table;
// and the same conversions of one 512 x 512 frame for comparison.
// compare_opencv.py runs these and cv2.cvtColor on the same frames.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench/vrx/vrx_chain_bench.h"
#include "vrx/core/colorspace/vrx_colorspace.h"

namespace {

using namespace vrx;
using vrx_bench::random_bytes;

// A side x side frame of 8-bit samples of `color`.
vrx_bench::Frame frame(uint32_t side, const VRX_ColorType* color) {
    return {side, side, 8, static_cast<uint16_t>(color->channels()), VRX_DataType::u_integer(),
            color};
}

// One run per iteration of: a side x side frame read from memory, converted
// from `from` to `to` and written to memory.
void chain_bench(benchmark::State& state, uint32_t side, const VRX_ColorType* from,
                 const VRX_ColorType* to) {
    const std::vector<uint8_t> in = random_bytes(size_t{side} * side * from->channels());
    std::vector<uint8_t> out(size_t{side} * side * to->channels());
    vrx_bench::run_chain(state, frame(side, from), in.data(), in.size(), out.data(), out.size(),
                         [to](VRX_Manager& manager, VRX_Engine* e) {
                             return VRX_ColorSpace(&manager).engine(e, to);
                         });
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * side * side);
}

// One VRX_ColorSpace::engine call behind a reader, without running the chain.
void plan_bench(benchmark::State& state, const VRX_ColorType* from, const VRX_ColorType* to) {
    const std::vector<uint8_t> in = random_bytes(size_t{512} * 512 * from->channels());
    for (auto _ : state) {
        VRX_DefaultManager manager;
        VRX_Header header(&manager);
        vrx_bench::describe(header, frame(512, from));
        VRX_Engine* e =
            VRX_ReadMemory(&manager).engine(&header, in.data(), static_cast<uint32_t>(in.size()));
        e = VRX_ColorSpace(&manager).engine(e, to);
        if (!e) state.SkipWithError("plan failed");
        benchmark::DoNotOptimize(e);
        manager.execute();
    }
}

void BM_YCbCrToSRgb2048(benchmark::State& state) {
    chain_bench(state, 2048, VRX_ColorType::ycbcr(), VRX_ColorType::s_rgb());
}
BENCHMARK(BM_YCbCrToSRgb2048)->Unit(benchmark::kMillisecond);

void BM_SRgbToYCbCr2048(benchmark::State& state) {
    chain_bench(state, 2048, VRX_ColorType::s_rgb(), VRX_ColorType::ycbcr());
}
BENCHMARK(BM_SRgbToYCbCr2048)->Unit(benchmark::kMillisecond);

void BM_SRgbToLstar2048(benchmark::State& state) {
    chain_bench(state, 2048, VRX_ColorType::s_rgb(), VRX_ColorType::lstar());
}
BENCHMARK(BM_SRgbToLstar2048)->Unit(benchmark::kMillisecond);

void BM_PlanSRgbToLstar33x3(benchmark::State& state) {
    plan_bench(state, VRX_ColorType::s_rgb(), VRX_ColorType::lstar());
}
BENCHMARK(BM_PlanSRgbToLstar33x3)->Unit(benchmark::kMillisecond);

void BM_PlanCmykToIccLab33x4(benchmark::State& state) {
    plan_bench(state, VRX_ColorType::cmyk(), VRX_ColorType::icc_lab());
}
BENCHMARK(BM_PlanCmykToIccLab33x4)->Unit(benchmark::kMillisecond);

void BM_SRgbToLstar512(benchmark::State& state) {
    chain_bench(state, 512, VRX_ColorType::s_rgb(), VRX_ColorType::lstar());
}
BENCHMARK(BM_SRgbToLstar512)->Unit(benchmark::kMillisecond);

void BM_CmykToIccLab512(benchmark::State& state) {
    chain_bench(state, 512, VRX_ColorType::cmyk(), VRX_ColorType::icc_lab());
}
BENCHMARK(BM_CmykToIccLab512)->Unit(benchmark::kMillisecond);

void BM_YCbCrToSRgb512(benchmark::State& state) {
    chain_bench(state, 512, VRX_ColorType::ycbcr(), VRX_ColorType::s_rgb());
}
BENCHMARK(BM_YCbCrToSRgb512)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {
// The chain without a conversion: read memory and write memory alone.
void BM_CopyChain2048(benchmark::State& state) {
    chain_bench(state, 2048, VRX_ColorType::s_rgb(), VRX_ColorType::s_rgb());
}
BENCHMARK(BM_CopyChain2048)->Unit(benchmark::kMillisecond);
}  // namespace
