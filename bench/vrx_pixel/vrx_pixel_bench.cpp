// The pixel stages of the decode and render chains on 2048 x 2048 frames,
// each whole chain (read memory, stages, write memory) against a plain loop
// that does the same arithmetic over the same arrays.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <type_traits>
#include <vector>

#include "bench/vrx/vrx_chain_bench.h"
#include "vrx/core/applypalette/vrx_applypalette.h"
#include "vrx/core/convertdatatype/vrx_convertdatatype.h"
#include "vrx/core/operation/vrx_and.h"
#include "vrx/extension/minmaxpixelvalue/vrx_minmaxpixelvalue.h"
#include "vrx/extension/signedextension/vrx_signedextension.h"
#include "vrx/framework/engine/vrx_rewriteheader.h"

namespace {

using namespace vrx;
using vrx_bench::run;

constexpr uint32_t kSide = 2048;
constexpr size_t kSamples = size_t{kSide} * kSide;

const std::vector<uint16_t>& frame() {
    static const std::vector<uint16_t> samples = [] {
        std::vector<uint16_t> s(kSamples);
        std::mt19937 random(7);
        for (uint16_t& v : s) v = static_cast<uint16_t>(random());
        return s;
    }();
    return samples;
}

// The frame as samples of T: the 16-bit samples widened (T of 32 bits), with
// a fraction for floating T.
template <typename T>
const std::vector<T>& frame_of() {
    static const std::vector<T> samples = [] {
        std::vector<T> s(kSamples);
        for (size_t i = 0; i < kSamples; ++i) {
            if constexpr (std::is_floating_point_v<T>)
                s[i] = frame()[i] / 16.0f + 0.25f;
            else
                s[i] = static_cast<T>(frame()[i]) * 65537u;
        }
        return s;
    }();
    return samples;
}

// A gray frame of samples of `type`.
void describe(VRX_Header& header, const VRX_DataType* type, uint16_t bits = 16) {
    vrx_bench::describe(header, {kSide, kSide, bits, 1, type});
}

template <typename In>
void count(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSamples * sizeof(In));
}

// One run per iteration of: the frame `in` read from memory as samples of
// `type`, `stages`, and a write to memory. `stages` gets the manager, the
// reader and a header of the frame as signed samples (for a retyping stage).
template <typename Out, typename In, typename Stages>
void chain_bench(benchmark::State& state, const std::vector<In>& in, const VRX_DataType* type,
                 Stages stages) {
    std::vector<Out> out(kSamples);
    vrx_bench::run_chain(state, {kSide, kSide, sizeof(In) * 8, 1, type}, in.data(),
                         kSamples * sizeof(In), out.data(), kSamples * sizeof(Out),
                         [&](VRX_Manager& manager, VRX_Engine* e) {
                             // A retyping stage copies the header it is given.
                             VRX_Header signed_frame(&manager);
                             describe(signed_frame, VRX_DataType::s_integer());
                             return stages(&manager, e, &signed_frame);
                         });
    count<In>(state);
}

template <typename Out, typename Stages>
void chain_bench(benchmark::State& state, const VRX_DataType* type, Stages stages) {
    chain_bench<Out>(state, frame(), type, stages);
}

// The same arithmetic as a plain loop over the arrays.
template <typename Out, typename In, typename Sample>
void loop_bench(benchmark::State& state, const std::vector<In>& in, Sample sample) {
    std::vector<Out> out(kSamples);
    for (auto _ : state) {
        for (size_t i = 0; i < kSamples; ++i) out[i] = static_cast<Out>(sample(in[i]));
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    count<In>(state);
}

template <typename Out, typename Sample>
void loop_bench(benchmark::State& state, Sample sample) {
    loop_bench<Out>(state, frame(), sample);
}

// Mask to 12 stored bits, then extend the sign of bit 11: the AND stage, a
// header rewrite from unsigned to signed (a copy) and the sign extension.
void BM_MaskSignExtendChain(benchmark::State& state) {
    chain_bench<int16_t>(state, VRX_DataType::u_integer(),
                         [](VRX_Manager* m, VRX_Engine* e, VRX_Header* signed_frame) {
                             e = VRX_And(m).engine(e, 0x0FFF);
                             e = VRX_RewriteHeader(m).engine(e, signed_frame);
                             return VRX_SignedExtension(m).engine(e, 11);
                         });
}
BENCHMARK(BM_MaskSignExtendChain)->Unit(benchmark::kMillisecond);

void BM_MaskSignExtendPlainLoop(benchmark::State& state) {
    loop_bench<int16_t>(state, [](uint16_t v) {
        v &= 0x0FFF;
        if (v & 0x0800) v |= 0xF000;
        return v;
    });
}
BENCHMARK(BM_MaskSignExtendPlainLoop)->Unit(benchmark::kMillisecond);

// The stages on their own, as the decode chain uses them: the mask for
// unsigned frames, the sign extension for signed ones.
void BM_MaskChain(benchmark::State& state) {
    chain_bench<uint16_t>(
        state, VRX_DataType::u_integer(),
        [](VRX_Manager* m, VRX_Engine* e, VRX_Header*) { return VRX_And(m).engine(e, 0x0FFF); });
}
BENCHMARK(BM_MaskChain)->Unit(benchmark::kMillisecond);

void BM_MaskPlainLoop(benchmark::State& state) {
    loop_bench<uint16_t>(state, [](uint16_t v) { return v & 0x0FFF; });
}
BENCHMARK(BM_MaskPlainLoop)->Unit(benchmark::kMillisecond);

void BM_SignExtendChain(benchmark::State& state) {
    chain_bench<int16_t>(state, VRX_DataType::s_integer(),
                         [](VRX_Manager* m, VRX_Engine* e, VRX_Header*) {
                             return VRX_SignedExtension(m).engine(e, 11);
                         });
}
BENCHMARK(BM_SignExtendChain)->Unit(benchmark::kMillisecond);

void BM_SignExtendPlainLoop(benchmark::State& state) {
    loop_bench<int16_t>(
        state, [](uint16_t v) -> uint16_t { return (v & 0x0800) ? (v | 0xF000) : (v & 0x0FFF); });
}
BENCHMARK(BM_SignExtendPlainLoop)->Unit(benchmark::kMillisecond);

void BM_MinMaxChain(benchmark::State& state) {
    const std::vector<uint16_t>& in = frame();
    const uint32_t bytes = static_cast<uint32_t>(kSamples * 2);
    for (auto _ : state) {
        VRX_DefaultManager manager;
        VRX_Header header(&manager);
        describe(header, VRX_DataType::u_integer());
        unsigned int low = 0, high = 0;
        VRX_Engine* e = VRX_ReadMemory(&manager).engine(&header, in.data(), bytes);
        if (!run(manager, VRX_MinMaxPixelValue(&manager).engine(e, &low, &high)))
            state.SkipWithError("chain failed");
        benchmark::DoNotOptimize(low + high);
    }
    count<uint16_t>(state);
}
BENCHMARK(BM_MinMaxChain)->Unit(benchmark::kMillisecond);

void BM_MinMaxPlainLoop(benchmark::State& state) {
    const std::vector<uint16_t>& in = frame();
    for (auto _ : state) {
        unsigned int low = 0xFFFFFFFFu, high = 0;
        for (size_t i = 0; i < kSamples; ++i) {
            if (in[i] > high) high = in[i];
            if (in[i] < low) low = in[i];
        }
        benchmark::DoNotOptimize(low + high);
    }
    count<uint16_t>(state);
}
BENCHMARK(BM_MinMaxPlainLoop)->Unit(benchmark::kMillisecond);

// An 8-bit index frame through an RGB palette of 256 entries.
struct PaletteInput {
    std::vector<uint8_t> indices, palette;
};

const PaletteInput& palette_input() {
    static const PaletteInput input = [] {
        PaletteInput p{std::vector<uint8_t>(kSamples), std::vector<uint8_t>(768)};
        for (size_t i = 0; i < kSamples; ++i) p.indices[i] = static_cast<uint8_t>(frame()[i]);
        for (size_t i = 0; i < p.palette.size(); ++i) p.palette[i] = static_cast<uint8_t>(i * 7);
        return p;
    }();
    return input;
}

void BM_PaletteChain(benchmark::State& state) {
    const std::vector<uint8_t>& in = palette_input().indices;
    const std::vector<uint8_t>& palette = palette_input().palette;
    std::vector<uint8_t> out(kSamples * 3);
    for (auto _ : state) {
        VRX_DefaultManager manager;
        VRX_Header header(&manager);
        describe(header, VRX_DataType::u_integer(), 8);
        header.color_type(VRX_ColorType::s_rgb());
        header.palette().bits = 8;
        header.palette().channels = 3;
        header.palette().entries = 256;
        header.palette().value(palette.data(), 768);
        VRX_Engine* e = VRX_ReadMemory(&manager).engine(&header, in.data(), kSamples);
        e = VRX_ApplyPalette(&manager).engine(e);
        if (!run(manager, VRX_WriteMemory(&manager).engine(e, out.data(), kSamples * 3)))
            state.SkipWithError("chain failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSamples);
}
BENCHMARK(BM_PaletteChain)->Unit(benchmark::kMillisecond);

void BM_PalettePlainLoop(benchmark::State& state) {
    const std::vector<uint8_t>& in = palette_input().indices;
    const std::vector<uint8_t>& palette = palette_input().palette;
    std::vector<uint8_t> out(kSamples * 3);
    for (auto _ : state) {
        for (size_t i = 0; i < kSamples; ++i)
            for (size_t c = 0; c < 3; ++c) out[i * 3 + c] = palette[in[i] * 3 + c];
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSamples);
}
BENCHMARK(BM_PalettePlainLoop)->Unit(benchmark::kMillisecond);

// The render chain's window/level to 8 bits: a 65536-entry table built by
// the conversion, against a loop through the same table.
constexpr double kWindowGain = 255.0 / 40000.0, kWindowOffset = -10000.0 * kWindowGain;

void BM_WindowTo8BitsChain(benchmark::State& state) {
    chain_bench<uint8_t>(state, VRX_DataType::u_integer(),
                         [](VRX_Manager* m, VRX_Engine* e, VRX_Header*) {
                             return VRX_ConvertDataType(m).engine(e, VRX_DataType::u_integer(), 8,
                                                                  kWindowGain, kWindowOffset);
                         });
}
BENCHMARK(BM_WindowTo8BitsChain)->Unit(benchmark::kMillisecond);

void BM_WindowTo8BitsPlainLoop(benchmark::State& state) {
    std::vector<uint8_t> table(65536);
    for (size_t v = 0; v < table.size(); ++v) {
        const double y = v * kWindowGain + kWindowOffset;
        table[v] = static_cast<uint8_t>(y < 0 ? 0 : y > 255 ? 255 : static_cast<int>(y + 0.5));
    }
    loop_bench<uint8_t>(state, [&](uint16_t v) { return table[v]; });
}
BENCHMARK(BM_WindowTo8BitsPlainLoop)->Unit(benchmark::kMillisecond);

// Floats to 8 bits through the general engine: formula, limits, rounding.
constexpr double kFloatGain = 0.0625, kFloatOffset = -3.5;

void BM_FloatTo8BitsChain(benchmark::State& state) {
    chain_bench<uint8_t>(state, frame_of<float>(), VRX_DataType::floating(),
                         [](VRX_Manager* m, VRX_Engine* e, VRX_Header*) {
                             return VRX_ConvertDataType(m).engine(e, VRX_DataType::u_integer(), 8,
                                                                  kFloatGain, kFloatOffset);
                         });
}
BENCHMARK(BM_FloatTo8BitsChain)->Unit(benchmark::kMillisecond);

void BM_FloatTo8BitsPlainLoop(benchmark::State& state) {
    loop_bench<uint8_t>(state, frame_of<float>(), [](float x) {
        double y = x * kFloatGain + kFloatOffset;
        y = y < 0 ? 0 : y > 255 ? 255 : y;
        return static_cast<uint8_t>(static_cast<int>(y + 0.5));
    });
}
BENCHMARK(BM_FloatTo8BitsPlainLoop)->Unit(benchmark::kMillisecond);

// Unsigned 32-bit to 16-bit by 1/65536: a rounded right shift by 16, limited.
void BM_Shift32To16Chain(benchmark::State& state) {
    chain_bench<uint16_t>(state, frame_of<uint32_t>(), VRX_DataType::u_integer(),
                          [](VRX_Manager* m, VRX_Engine* e, VRX_Header*) {
                              return VRX_ConvertDataType(m).engine(e, VRX_DataType::u_integer(), 16,
                                                                   1.0 / 65536, 0);
                          });
}
BENCHMARK(BM_Shift32To16Chain)->Unit(benchmark::kMillisecond);

void BM_Shift32To16PlainLoop(benchmark::State& state) {
    loop_bench<uint16_t>(state, frame_of<uint32_t>(), [](uint32_t v) {
        const uint32_t r = ((v >> 15) & 1u) + (v >> 16);
        return r > 65535u ? 65535u : r;
    });
}
BENCHMARK(BM_Shift32To16PlainLoop)->Unit(benchmark::kMillisecond);

}  // namespace
