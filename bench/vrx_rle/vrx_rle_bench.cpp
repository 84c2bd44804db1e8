// Frames decoded to memory: DICOM RLE frames (16-bit gray and 8-bit RGB),
// native frames as stored and byte-swapped, a planar frame and a native
// YBR_FULL_422 frame, each 512 x 512.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

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
using Bytes = std::vector<unsigned char>;

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

Bytes packbits(const Bytes& in) {
    Bytes out;
    size_t i = 0;
    while (i < in.size()) {
        size_t run = 1;
        while (i + run < in.size() && run < 128 && in[i + run] == in[i]) ++run;
        if (run >= 2) {
            out.push_back(static_cast<unsigned char>(257 - run));
            out.push_back(in[i]);
            i += run;
            continue;
        }
        const size_t start = i;
        while (i < in.size() && i - start < 128 && !(i + 1 < in.size() && in[i + 1] == in[i])) ++i;
        out.push_back(static_cast<unsigned char>(i - start - 1));
        out.insert(out.end(), in.begin() + static_cast<long>(start),
                   in.begin() + static_cast<long>(i));
    }
    return out;
}

// The DICOM RLE frame of little-endian samples, rows encoded one by one.
Bytes rle_frame(const Bytes& pixels, uint32_t bytes_per_sample, uint32_t channels) {
    Bytes frame(64, 0);
    const uint32_t segments = bytes_per_sample * channels;
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) frame[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    put32(0, segments);
    for (uint32_t c = 0; c < channels; ++c)
        for (uint32_t b = bytes_per_sample; b > 0; --b) {
            put32(4 + 4 * (c * bytes_per_sample + bytes_per_sample - b),
                  static_cast<uint32_t>(frame.size()));
            for (uint32_t y = 0; y < kSide; ++y) {
                Bytes row(kSide);
                for (uint32_t x = 0; x < kSide; ++x)
                    row[x] =
                        pixels[((size_t{y} * kSide + x) * channels + c) * bytes_per_sample + b - 1];
                const Bytes coded = packbits(row);
                frame.insert(frame.end(), coded.begin(), coded.end());
            }
            if (frame.size() % 2 != 0) frame.push_back(0);
        }
    return frame;
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
    const Bytes frame = rle_frame(scan_samples(bits / 8u, channels), bits / 8u, channels);
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
