// Decoding the benchmark streams from memory: through the JPEG reader of the
// imaging library into memory, and with libjpeg-turbo set as the tests'
// reference (accurate integer transform, no fancy upsampling, the stream's
// own colour space). Inputs come from the target jpegdec_bench_data.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "tests/jpegdec/jpeg_oracle.h"
#include "vrx/core/jpeg/vrx_readjpeg.h"
#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/io/vrx_bytearrayinputstorage.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

namespace {

const char* const kStreams[] = {"grey_4096_q90.jpg", "rgb_3840_420.jpg", "rgb_3840_444.jpg",
                                "rgb_3840_420_prog.jpg"};

const jpegoracle::Bytes& stream(int i) {
    static std::vector<jpegoracle::Bytes> streams;
    if (streams.empty())
        for (const char* name : kStreams) streams.push_back(jpegoracle::ReadFile(std::string(BENCH_DATA_DIR) + "/" + name));
    return streams[static_cast<size_t>(i)];
}

void Ours(benchmark::State& state) {
    using namespace vrx;
    const jpegoracle::Bytes& jpeg = stream(static_cast<int>(state.range(0)));
    if (jpeg.empty()) return state.SkipWithError("run the target jpegdec_bench_data first");
    std::vector<unsigned char> pixels;
    for (auto _ : state) {
        VRX_DefaultManager manager;
        VRX_InputStorage* storage =
            VRX_ByteArrayInputStorage::create(&manager, jpeg.data(), static_cast<int32_t>(jpeg.size()));
        VRX_Engine* image = VRX_ReadJPEG(&manager).engine(storage, 256);
        storage->destroy();
        uint32_t line = 0;
        if (!image || !image->header()->line_bytes(line)) return state.SkipWithError("not decoded");
        pixels.resize(size_t{line} * image->header()->height);
        VRX_Engine* writer =
            VRX_WriteMemory(&manager).engine(image, pixels.data(), static_cast<uint32_t>(pixels.size()));
        while (writer && writer->execute()) {
        }
        VRX_Status status(&manager);
        if (!manager.execute(status)) return state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetLabel(kStreams[state.range(0)]);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pixels.size()));
}

void Libjpeg(benchmark::State& state) {
    const jpegoracle::Bytes& jpeg = stream(static_cast<int>(state.range(0)));
    if (jpeg.empty()) return state.SkipWithError("run the target jpegdec_bench_data first");
    size_t bytes = 0;
    for (auto _ : state) {
        const jpegoracle::Image image = jpegoracle::Decode(jpeg);
        if (!image.ok) return state.SkipWithError("not decoded");
        bytes = image.pixels.size();
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetLabel(kStreams[state.range(0)]);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

BENCHMARK(Ours)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(Libjpeg)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
