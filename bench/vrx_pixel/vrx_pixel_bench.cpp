// The pixel stages of the decode chain on a 2048 x 2048 frame of 16-bit
// samples, each whole chain (read memory, stages, write memory) against a
// plain loop that does the same arithmetic over the same arrays.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "vrx/core/applypalette/vrx_applypalette.h"
#include "vrx/core/memory/vrx_readmemory.h"
#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/core/operation/vrx_and.h"
#include "vrx/extension/minmaxpixelvalue/vrx_minmaxpixelvalue.h"
#include "vrx/extension/signedextension/vrx_signedextension.h"
#include "vrx/framework/engine/vrx_rewriteheader.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

namespace {

using namespace vrx;

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

void describe(VRX_Header& header, const VRX_DataType* type, uint16_t bits = 16) {
    header.width = kSide;
    header.height = kSide;
    header.bits = bits;
    header.channels = 1;
    header.data_type(type);
    header.color_type(VRX_ColorType::gray());
}

// Runs the writer to the end; the job's result.
bool run(VRX_DefaultManager& manager, VRX_Engine* writer) {
    if (!writer) return false;
    while (writer->execute()) {
    }
    return manager.execute();
}

void count(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSamples * 2);
}

// Mask to 12 stored bits, then extend the sign of bit 11: the AND stage, a
// header rewrite from unsigned to signed (a copy) and the sign extension.
void BM_MaskSignExtendChain(benchmark::State& state) {
    const std::vector<uint16_t>& in = frame();
    std::vector<int16_t> out(kSamples);
    const uint32_t bytes = static_cast<uint32_t>(kSamples * 2);
    for (auto _ : state) {
        VRX_DefaultManager manager;
        VRX_Header unsigned_frame(&manager), signed_frame(&manager);
        describe(unsigned_frame, VRX_DataType::u_integer());
        describe(signed_frame, VRX_DataType::s_integer());
        VRX_Engine* e = VRX_ReadMemory(&manager).engine(&unsigned_frame, in.data(), bytes);
        e = VRX_And(&manager).engine(e, 0x0FFF);
        e = VRX_RewriteHeader(&manager).engine(e, &signed_frame);
        e = VRX_SignedExtension(&manager).engine(e, 11);
        if (!run(manager, VRX_WriteMemory(&manager).engine(e, out.data(), bytes)))
            state.SkipWithError("chain failed");
        benchmark::DoNotOptimize(out.data());
    }
    count(state);
}
BENCHMARK(BM_MaskSignExtendChain)->Unit(benchmark::kMillisecond);

void BM_MaskSignExtendPlainLoop(benchmark::State& state) {
    const std::vector<uint16_t>& in = frame();
    std::vector<int16_t> out(kSamples);
    for (auto _ : state) {
        for (size_t i = 0; i < kSamples; ++i) {
            uint16_t v = in[i] & 0x0FFF;
            if (v & 0x0800) v |= 0xF000;
            out[i] = static_cast<int16_t>(v);
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    count(state);
}
BENCHMARK(BM_MaskSignExtendPlainLoop)->Unit(benchmark::kMillisecond);

// The stages on their own, as the decode chain uses them: the mask for
// unsigned frames, the sign extension for signed ones.
void BM_MaskChain(benchmark::State& state) {
    const std::vector<uint16_t>& in = frame();
    std::vector<uint16_t> out(kSamples);
    const uint32_t bytes = static_cast<uint32_t>(kSamples * 2);
    for (auto _ : state) {
        VRX_DefaultManager manager;
        VRX_Header header(&manager);
        describe(header, VRX_DataType::u_integer());
        VRX_Engine* e = VRX_ReadMemory(&manager).engine(&header, in.data(), bytes);
        e = VRX_And(&manager).engine(e, 0x0FFF);
        if (!run(manager, VRX_WriteMemory(&manager).engine(e, out.data(), bytes)))
            state.SkipWithError("chain failed");
        benchmark::DoNotOptimize(out.data());
    }
    count(state);
}
BENCHMARK(BM_MaskChain)->Unit(benchmark::kMillisecond);

void BM_MaskPlainLoop(benchmark::State& state) {
    const std::vector<uint16_t>& in = frame();
    std::vector<uint16_t> out(kSamples);
    for (auto _ : state) {
        for (size_t i = 0; i < kSamples; ++i) out[i] = in[i] & 0x0FFF;
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    count(state);
}
BENCHMARK(BM_MaskPlainLoop)->Unit(benchmark::kMillisecond);

void BM_SignExtendChain(benchmark::State& state) {
    const std::vector<uint16_t>& in = frame();
    std::vector<int16_t> out(kSamples);
    const uint32_t bytes = static_cast<uint32_t>(kSamples * 2);
    for (auto _ : state) {
        VRX_DefaultManager manager;
        VRX_Header header(&manager);
        describe(header, VRX_DataType::s_integer());
        VRX_Engine* e = VRX_ReadMemory(&manager).engine(&header, in.data(), bytes);
        e = VRX_SignedExtension(&manager).engine(e, 11);
        if (!run(manager, VRX_WriteMemory(&manager).engine(e, out.data(), bytes)))
            state.SkipWithError("chain failed");
        benchmark::DoNotOptimize(out.data());
    }
    count(state);
}
BENCHMARK(BM_SignExtendChain)->Unit(benchmark::kMillisecond);

void BM_SignExtendPlainLoop(benchmark::State& state) {
    const std::vector<uint16_t>& in = frame();
    std::vector<int16_t> out(kSamples);
    for (auto _ : state) {
        for (size_t i = 0; i < kSamples; ++i) {
            uint16_t v = in[i];
            v = (v & 0x0800) ? (v | 0xF000) : (v & 0x0FFF);
            out[i] = static_cast<int16_t>(v);
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    count(state);
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
    count(state);
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
    count(state);
}
BENCHMARK(BM_MinMaxPlainLoop)->Unit(benchmark::kMillisecond);

// An 8-bit index frame through an RGB palette of 256 entries.
void BM_PaletteChain(benchmark::State& state) {
    std::vector<uint8_t> in(kSamples);
    for (size_t i = 0; i < kSamples; ++i) in[i] = static_cast<uint8_t>(frame()[i]);
    std::vector<uint8_t> palette(768);
    for (size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<uint8_t>(i * 7);
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
    std::vector<uint8_t> in(kSamples);
    for (size_t i = 0; i < kSamples; ++i) in[i] = static_cast<uint8_t>(frame()[i]);
    std::vector<uint8_t> palette(768);
    for (size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<uint8_t>(i * 7);
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

}  // namespace
