// The render chain's first stages on a 600 x 600 frame of 16-bit samples:
// read from memory, crop to the centre 512 x 512, scale by nearest
// neighbour, write to memory. 1024 x 1024 goes through the whole-factor
// engines, 1000 x 1000 through the column table and the line picker, 256 x
// 256 through the sub-sampler and 300 x 300 through the one-engine shrink.
//
// The frame is random unless VRX_GEOMETRY_IMAGE names a file of 600 x 600
// little-endian 16-bit samples (compare_opencv.py hands one over, so both
// sides scale the same image).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <random>
#include <vector>

#include "bench/vrx/vrx_chain_bench.h"
#include "vrx/core/crop/vrx_crop.h"
#include "vrx/core/scale/vrx_scalenn.h"

namespace {

using namespace vrx;

constexpr uint32_t kSide = 600;
constexpr uint32_t kCrop = 512;
constexpr uint32_t kOffset = (kSide - kCrop) / 2;

const std::vector<uint16_t>& frame() {
    static const std::vector<uint16_t> samples = [] {
        std::vector<uint16_t> s(size_t{kSide} * kSide);
        if (const char* path = std::getenv("VRX_GEOMETRY_IMAGE")) {
            std::ifstream in(path, std::ios::binary);
            in.read(reinterpret_cast<char*>(s.data()), static_cast<std::streamsize>(s.size() * 2));
            if (in) return s;
        }
        std::mt19937 random(7);
        for (uint16_t& v : s) v = static_cast<uint16_t>(random());
        return s;
    }();
    return samples;
}

void BM_CropScaleNN(benchmark::State& state) {
    const uint32_t side = static_cast<uint32_t>(state.range(0));
    const std::vector<uint16_t>& in = frame();
    std::vector<uint16_t> out(size_t{side} * side);
    vrx_bench::run_chain(state, {kSide, kSide, 16}, in.data(), in.size() * 2, out.data(),
                         out.size() * 2, [side](VRX_Manager& manager, VRX_Engine* e) {
                             e = VRX_Crop(&manager).engine(e, kOffset, kOffset, kCrop, kCrop);
                             return VRX_ScaleNN(&manager).engine(e, side, side);
                         });
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * side * side);
}
BENCHMARK(BM_CropScaleNN)->Arg(1024)->Arg(1000)->Arg(256)->Arg(300)->Unit(benchmark::kMicrosecond);

}  // namespace
