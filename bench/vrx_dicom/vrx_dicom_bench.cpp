// One frame of a DICOM file decoded to memory through the whole decode chain
// (information loaded from the file, frame located, reader built, samples
// written): a 512 x 512 16-bit RLE frame and the same frame stored natively,
// read from memory and from a file. compare_tools.py times the same work as
// whole processes against dcmdrle and gdcmconv --raw.
// Loading the information of 8 MiB of 1 x 1 frames under a Number of Frames
// of 2147483647 (8,388,608 frames) is timed against the same 8 MiB as one
// 2048 x 4096 frame: frames must cost no time or memory of their own.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>

#include "tests/vrx/core/storage/vrx_rle_test_encoder.h"
#include "tests/vrx/extension/dicom/dicom_writer.h"
#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/extension/dicom/vrx_dicominfo.h"
#include "vrx/extension/dicom/vrx_readdicom.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/io/vrx_bytearrayinputstorage.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

namespace {

using namespace vrx;
using dicomtest::Bytes;

constexpr uint32_t kSide = 512;

// A CT-like slice: a disc of smooth values with noise on an empty background,
// 16-bit little-endian samples.
Bytes slice_samples() {
    std::mt19937 random(11);
    Bytes out;
    out.reserve(size_t{kSide} * kSide * 2);
    for (uint32_t y = 0; y < kSide; ++y)
        for (uint32_t x = 0; x < kSide; ++x) {
            const int dx = static_cast<int>(x) - 256, dy = static_cast<int>(y) - 256;
            const uint32_t v =
                dx * dx + dy * dy > 230 * 230 ? 0 : 900 + (x + 2 * y) % 400 + random() % 24;
            out.push_back(static_cast<unsigned char>(v));
            out.push_back(static_cast<unsigned char>(v >> 8));
        }
    return out;
}

Bytes native_file() {
    dicomtest::Writer w("1.2.840.10008.1.2.1");
    w.image(kSide, kSide, 16, 1, "MONOCHROME2");
    w.pixel_data(slice_samples());
    return w.bytes();
}

Bytes rle_file() {
    dicomtest::Writer w("1.2.840.10008.1.2.5");
    w.image(kSide, kSide, 16, 1, "MONOCHROME2");
    w.encapsulated({}, {rletest::rle_frame(slice_samples(), 1, 2, kSide)});
    return w.bytes();
}

// A file holding the bytes, removed at exit.
class TempFile {
   public:
    explicit TempFile(const Bytes& bytes) {
        path_ =
            "/tmp/vrx_dicom_bench_" + std::to_string(::getpid()) + "_" + std::to_string(count_++);
        FILE* f = std::fopen(path_.c_str(), "wb");
        if (f) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
    }
    ~TempFile() { std::remove(path_.c_str()); }
    const char* path() const { return path_.c_str(); }

   private:
    static inline int count_ = 0;
    std::string path_;
};

// Loads the file's information and decodes frame 0 into memory, once per
// iteration.
void decode(benchmark::State& state, const Bytes& bytes, const char* path) {
    Bytes out(size_t{kSide} * kSide * 2);
    for (auto _ : state) {
        VRX_DefaultManager manager;
        VRX_InputStorage* storage =
            path ? static_cast<VRX_InputStorage*>(VRX_FileInputStorage::create(&manager, path))
                 : VRX_ByteArrayInputStorage::create(&manager, bytes.data(),
                                                     static_cast<int32_t>(bytes.size()));
        VRX_Engine* frame = storage ? VRX_ReadDICOM(&manager).engine(storage, 0u) : nullptr;
        uint32_t written = 0;
        VRX_Engine* writer =
            frame ? VRX_WriteMemory(&manager).engine(frame, out.data(),
                                                     static_cast<uint32_t>(out.size()), &written)
                  : nullptr;
        while (writer && writer->execute()) {
        }
        VRX_Status status(&manager);
        const bool ok = manager.execute(status) && written == out.size();
        vrx::destroy(storage);
        if (!ok) {
            state.SkipWithError("decode failed");
            return;
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(out.size()));
}

void BM_RleFrameFromMemory(benchmark::State& state) {
    static const Bytes bytes = rle_file();
    decode(state, bytes, nullptr);
}
void BM_NativeFrameFromMemory(benchmark::State& state) {
    static const Bytes bytes = native_file();
    decode(state, bytes, nullptr);
}
void BM_RleFrameFromFile(benchmark::State& state) {
    static const TempFile file(rle_file());
    decode(state, {}, file.path());
}
void BM_NativeFrameFromFile(benchmark::State& state) {
    static const TempFile file(native_file());
    decode(state, {}, file.path());
}

Bytes eight_mib_file(uint32_t rows, uint32_t columns, uint32_t frames) {
    dicomtest::Writer w("1.2.840.10008.1.2.1");
    w.image(rows, columns, 8, 1, "MONOCHROME2", frames);
    w.pixel_data(Bytes(size_t{8} << 20, 0x5A));
    return w.bytes();
}

// Loads the information and locates the last frame, once per iteration.
void load(benchmark::State& state, const Bytes& bytes, uint32_t frames) {
    for (auto _ : state) {
        VRX_DefaultManager manager;
        VRX_InputStorage* storage = VRX_ByteArrayInputStorage::create(
            &manager, bytes.data(), static_cast<int32_t>(bytes.size()));
        VRX_DICOMInfo info(&manager);
        const bool ok = storage && info.load(storage) && info.frame_count() == frames &&
                        info.frame_offsets(frames - 1).size() == 1;
        vrx::destroy(storage);
        if (!ok) {
            state.SkipWithError("load failed");
            return;
        }
    }
}

void BM_ManyFramesLoad(benchmark::State& state) {
    static const Bytes bytes = eight_mib_file(1, 1, 2147483647u);
    load(state, bytes, 8u << 20);
}
void BM_OneLargeFrameLoad(benchmark::State& state) {
    static const Bytes bytes = eight_mib_file(2048, 4096, 1);
    load(state, bytes, 1);
}

BENCHMARK(BM_ManyFramesLoad)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OneLargeFrameLoad)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RleFrameFromMemory);
BENCHMARK(BM_NativeFrameFromMemory);
BENCHMARK(BM_RleFrameFromFile);
BENCHMARK(BM_NativeFrameFromFile);

}  // namespace
