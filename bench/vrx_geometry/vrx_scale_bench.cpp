// The render chain's interpolating and area scalers on one gray frame,
// ReadMemory -> scaler -> WriteMemory:
//   BM_ScaleLI/bits        512 x 512 -> 1100 x 1100 by linear interpolation
//   BM_ScaleArea/bits      2048 x 2048 -> 1000 x 1000 by area (fast
//                          fractional reduction: Q12 for 8 bits, double for 16)
//   BM_ScaleAverage/bits   2048 x 2048 -> 1024 x 1024 by area (whole-ratio
//                          averaging)
// Frames are random unless VRX_SCALE_IMAGES names a folder holding
// gray<side>_<bits>.raw files of little-endian samples (compare_scale_opencv.py
// hands them over, so both sides scale the same images).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/vrx/vrx_chain_bench.h"
#include "vrx/core/scale/vrx_scalelifastby.h"
#include "vrx/core/scale/vrx_scaleppfastby.h"

namespace {

using namespace vrx;

// The bytes of a side x side frame of `bits`-bit samples.
const std::vector<uint8_t>& frame(uint32_t side, uint32_t bits) {
    static std::map<std::pair<uint32_t, uint32_t>, std::vector<uint8_t>> frames;
    std::vector<uint8_t>& f = frames[{side, bits}];
    if (!f.empty()) return f;
    f.resize(size_t{side} * side * bits / 8);
    if (const char* folder = std::getenv("VRX_SCALE_IMAGES")) {
        const std::string path = std::string(folder) + "/gray" + std::to_string(side) + "_" +
                                 std::to_string(bits) + ".raw";
        std::ifstream in(path, std::ios::binary);
        in.read(reinterpret_cast<char*>(f.data()), static_cast<std::streamsize>(f.size()));
        if (in) return f;
    }
    std::mt19937 random(side + bits);
    for (uint8_t& b : f) b = static_cast<uint8_t>(random());
    return f;
}

template <class Scaler>
void scale(benchmark::State& state, uint32_t side, uint32_t target) {
    const uint32_t bits = static_cast<uint32_t>(state.range(0));
    const std::vector<uint8_t>& in = frame(side, bits);
    std::vector<uint8_t> out(size_t{target} * target * bits / 8);
    vrx_bench::run_chain(state, {side, side, static_cast<uint16_t>(bits)}, in.data(), in.size(),
                         out.data(), out.size(), [target](VRX_Manager& manager, VRX_Engine* e) {
                             return Scaler(&manager).engine(e, target, target);
                         });
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * target * target);
}

void BM_ScaleLI(benchmark::State& state) {
    scale<VRX_ScaleLIFastBy<VRX_FixedReal12>>(state, 512, 1100);
}
void BM_ScaleArea(benchmark::State& state) {
    scale<VRX_ScalePPFastBy<VRX_FixedReal12>>(state, 2048, 1000);
}
void BM_ScaleAverage(benchmark::State& state) {
    scale<VRX_ScalePPFastBy<VRX_FixedReal12>>(state, 2048, 1024);
}
BENCHMARK(BM_ScaleLI)->Arg(8)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScaleArea)->Arg(8)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScaleAverage)->Arg(8)->Arg(16)->Unit(benchmark::kMicrosecond);

}  // namespace
