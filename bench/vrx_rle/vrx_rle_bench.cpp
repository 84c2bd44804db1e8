// Frames decoded to memory: DICOM RLE frames (16-bit gray and 8-bit RGB),
// native frames as stored and byte-swapped, a planar frame and a native
// YBR_FULL_422 frame, each 512 x 512.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "tests/vrx/core/storage/vrx_rle_test_encoder.h"
#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/core/storage/vrx_readstorage.h"
#include "vrx/extension/dicom/vrx_readstorageplanar.h"
#include "vrx/extension/dicom/vrx_ybr422toycbcr.h"
#include "vrx/extension/readdicomrleframe/vrx_readdicomrleframe.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/io/vrx_bytearrayinputstorage.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

namespace {

using namespace vrx;
using rletest::Bytes;

constexpr uint32_t kSide = 512;

// A smooth image with noise, like a scan: runs and literals both occur.
Bytes scan_samples(uint32_t bytes_per_sample, uint32_t channels) {
    std::mt19937 random(5);
    Bytes out;
    out.reserve(size_t{kSide} * kSide * bytes_per_sample * channels);
    for (uint32_t y = 0; y < kSide; ++y)
        for (uint32_t x = 0; x < kSide; ++x)
            for (uint32_t c = 0; c < channels; ++c) {
                const bool background = (x - 256) * (x - 256) + (y - 256) * (y - 256) > 200 * 200;
                const uint32_t value =
                    background ? 0 : (x * 3 + y * 5 + c * 40) * 4 + (random() % 16);
                for (uint32_t b = 0; b < bytes_per_sample; ++b)
                    out.push_back(static_cast<unsigned char>(value >> (8 * b)));
            }
    return out;
}

void describe(VRX_Header& header, uint16_t bits, uint16_t channels, const VRX_ColorType* color,
              const VRX_EncodeType* encode = VRX_EncodeType::raw()) {
    header.width = kSide;
    header.height = kSide;
    header.bits = bits;
    header.channels = channels;
    header.color_type(color);
    header.encode_type(encode);
}

// Runs the reader `make` builds over `storage` into memory, once per iteration.
template <class Make>
void run(benchmark::State& state, const Bytes& stored, const char* file, Make&& make) {
    Bytes out(size_t{kSide} * kSide * 12);
    for (auto _ : state) {
        VRX_DefaultManager manager;
        VRX_InputStorage* storage =
            file ? static_cast<VRX_InputStorage*>(VRX_FileInputStorage::create(&manager, file))
                 : VRX_ByteArrayInputStorage::create(&manager, stored.data(),
                                                     static_cast<int32_t>(stored.size()));
        VRX_Engine* reader = storage ? make(manager, storage) : nullptr;
        vrx::destroy(storage);
        uint32_t written = 0;
        VRX_Engine* writer =
            reader ? VRX_WriteMemory(&manager).engine(reader, out.data(),
                                                      static_cast<uint32_t>(out.size()), &written)
                   : nullptr;
        while (writer && writer->execute()) {
        }
        VRX_Status status(&manager);
        if (!manager.execute(status) || written == 0) {
            state.SkipWithError("decode failed");
            return;
        }
        benchmark::DoNotOptimize(out.data());
        state.SetBytesProcessed(state.bytes_processed() + written);
    }
}

void BM_RLEFrame(benchmark::State& state, uint16_t bits, uint16_t channels, bool from_file) {
    const Bytes frame =
        rletest::rle_frame(scan_samples(bits / 8u, channels), channels, bits / 8u, kSide);
    std::string path;
    if (from_file) {
        path = "/tmp/vrx_rle_bench_" + std::to_string(bits) + "_" + std::to_string(channels);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(frame.data(), 1, frame.size(), f) != frame.size()) {
            if (f) std::fclose(f);
            state.SkipWithError("cannot write the frame file");
            return;
        }
        std::fclose(f);
    }
    state.counters["compressed"] = static_cast<double>(frame.size());
    run(state, frame, from_file ? path.c_str() : nullptr,
        [&](VRX_DefaultManager& manager, VRX_InputStorage* storage) {
            VRX_Header header(&manager);
            describe(header, bits, channels,
                     channels == 3 ? VRX_ColorType::s_rgb() : VRX_ColorType::gray(),
                     VRX_EncodeType::pack_bits());
            return VRX_ReadDICOMRLEFrame(&manager).engine(storage, header,
                                                          static_cast<uint32_t>(frame.size()));
        });
    if (from_file) std::remove(path.c_str());
}
BENCHMARK_CAPTURE(BM_RLEFrame, gray16, 16, 1, false);
BENCHMARK_CAPTURE(BM_RLEFrame, gray16_file, 16, 1, true);
BENCHMARK_CAPTURE(BM_RLEFrame, rgb8, 8, 3, false);

void BM_NativeFrame(benchmark::State& state, int32_t byte_order) {
    const Bytes stored = scan_samples(2, 1);
    run(state, stored, nullptr, [&](VRX_DefaultManager& manager, VRX_InputStorage* storage) {
        VRX_Header header(&manager);
        describe(header, 16, 1, VRX_ColorType::gray());
        return VRX_ReadStorage(&manager).engine(storage, header, 0, 0, byte_order);
    });
}
BENCHMARK_CAPTURE(BM_NativeFrame, gray16, 1);
BENCHMARK_CAPTURE(BM_NativeFrame, gray16_swapped, 0);

void BM_PlanarFrame(benchmark::State& state) {
    const Bytes stored = scan_samples(1, 3);
    run(state, stored, nullptr, [&](VRX_DefaultManager& manager, VRX_InputStorage* storage) {
        VRX_Header header(&manager);
        describe(header, 8, 3, VRX_ColorType::s_rgb());
        return VRX_ReadStoragePlanar(&manager).engine(storage, header, 0, 0, 1);
    });
}
BENCHMARK(BM_PlanarFrame);

void BM_YBR422Frame(benchmark::State& state) {
    const Bytes stored = scan_samples(1, 2);
    run(state, stored, nullptr, [&](VRX_DefaultManager& manager, VRX_InputStorage* storage) {
        VRX_Header header(&manager);
        describe(header, 8, 3, VRX_ColorType::ycbcr());
        return VRX_YBR422ToYCbCr(&manager).engine(storage, header, 0, 1);
    });
}
BENCHMARK(BM_YBR422Frame);

}  // namespace
