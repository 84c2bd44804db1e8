// Channel selection on a 2048 x 2048 frame: channel 1 of an 8-bit RGB image
// and of a four-channel one-bit image, each whole chain (read memory, select,
// write memory) against a plain loop that does the same copy over the same
// arrays.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "bench/vrx/vrx_chain_bench.h"
#include "vrx/core/channel/vrx_selectchannel.h"

namespace {

using namespace vrx;
using vrx_bench::random_bytes;

constexpr uint32_t kSide = 2048;
constexpr uint16_t kChannel = 1;

// Bytes of one line of the frame and of the selected channel.
size_t line_bytes(uint16_t bits, uint16_t channels) {
    return (size_t{channels} * bits * kSide + 7) / 8;
}

// One run per iteration of: the frame read from memory, channel 1 selected
// as a gray image, and a write to memory.
void chain_bench(benchmark::State& state, uint16_t bits, uint16_t channels,
                 const VRX_ColorType* color) {
    const std::vector<uint8_t> in = random_bytes(line_bytes(bits, channels) * kSide);
    std::vector<uint8_t> out(line_bytes(bits, 1) * kSide);
    vrx_bench::run_chain(state, {kSide, kSide, bits, channels, VRX_DataType::u_integer(), color},
                         in.data(), in.size(), out.data(), out.size(),
                         [](VRX_Manager& manager, VRX_Engine* e) {
                             return VRX_SelectChannel(&manager).engine(e, kChannel,
                                                                       VRX_ColorType::gray());
                         });
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_Rgb8Channel1Chain(benchmark::State& state) {
    chain_bench(state, 8, 3, VRX_ColorType::s_rgb());
}
BENCHMARK(BM_Rgb8Channel1Chain)->Unit(benchmark::kMillisecond);

void BM_Rgb8Channel1PlainLoop(benchmark::State& state) {
    const std::vector<uint8_t> in = random_bytes(line_bytes(8, 3) * kSide);
    std::vector<uint8_t> out(line_bytes(8, 1) * kSide);
    for (auto _ : state) {
        for (size_t p = 0; p < out.size(); ++p) out[p] = in[3 * p + kChannel];
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_Rgb8Channel1PlainLoop)->Unit(benchmark::kMillisecond);

void BM_OneBit4Channel1Chain(benchmark::State& state) {
    chain_bench(state, 1, 4, VRX_ColorType::cmyk());
}
BENCHMARK(BM_OneBit4Channel1Chain)->Unit(benchmark::kMillisecond);

// Line by line: the output line cleared, then bit p set from source bit
// 4p + 1.
void BM_OneBit4Channel1PlainLoop(benchmark::State& state) {
    const size_t in_line = line_bytes(1, 4), out_line = line_bytes(1, 1);
    const std::vector<uint8_t> in = random_bytes(in_line * kSide);
    std::vector<uint8_t> out(out_line * kSide);
    for (auto _ : state) {
        for (size_t row = 0; row < kSide; ++row) {
            const uint8_t* s = in.data() + row * in_line;
            uint8_t* d = out.data() + row * out_line;
            std::memset(d, 0, out_line);
            for (size_t p = 0; p < kSide; ++p) {
                const size_t at = 4 * p + kChannel;
                const unsigned bit = (s[at >> 3] >> (7 - (at & 7))) & 1u;
                d[p >> 3] |= static_cast<uint8_t>(bit << (7 - (p & 7)));
            }
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_OneBit4Channel1PlainLoop)->Unit(benchmark::kMillisecond);

}  // namespace
