// Decoding the benchmark streams from memory: through the JPEG reader of the
// imaging library into memory, and with libjpeg-turbo set as the tests'
// reference (accurate integer transform, no fancy upsampling, the stream's
// own colour space). Inputs come from the target jpegdec_bench_data.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "jpegdec/jpeg_context.h"
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

// ---- the decoder core by stage ----
//
// Streams 0-3 as above, 4-6 the lossless MR frames (precision 16 with
// predictor 1, precision 12 with predictor 1, precision 16 with predictor 7).
// Whole: every row through ReadRows into one frame buffer (the kernel path,
// or with arg 1 = 1 the generic path). Entropy: only the scan decoders the
// kernel path installs, every block or row of the frame.

const char* const kCoreStreams[] = {"grey_4096_q90.jpg",     "rgb_3840_420.jpg",      "rgb_3840_444.jpg",
                                    "rgb_3840_420_prog.jpg", "mr12_4096_sv1_p16.jpg", "mr12_4096_sv1_p12.jpg",
                                    "mr12_4096_sv7_p16.jpg"};

const jpegoracle::Bytes& core_stream(int i) {
    static std::vector<jpegoracle::Bytes> streams;
    if (streams.empty())
        for (const char* name : kCoreStreams)
            streams.push_back(jpegoracle::ReadFile(std::string(BENCH_DATA_DIR) + "/" + name));
    return streams[static_cast<size_t>(i)];
}

// A decoder context over a stream, started.
struct Core {
    explicit Core(const jpegoracle::Bytes& jpeg, bool generic) {
        jpegdec::InitJpegLibrary(nullptr, nullptr);
        jpegdec::JpegSourceRecord source;
        jpegdec::CreateMemorySource(jpeg.data(), static_cast<uint32_t>(jpeg.size()), nullptr, nullptr, &source);
        jpegdec::JpegStatus st = 0;
        ctx = jpegdec::CreateDecompressor(&source, nullptr, nullptr, &st);
        ctx->testGenericOnly = generic;
        ok = jpegdec::ReadHeader(ctx, jpegdec::kJpegColorAsStored, 0, nullptr) >= 1 && jpegdec::StartDecompress(ctx) >= 1;
    }
    ~Core() {
        jpegdec::DestroyDecompressor(ctx);
        jpegdec::ReleaseJpegLibrary(nullptr, nullptr);
    }
    size_t RowBytes() const {
        return size_t{jpegdec::JpegWidth(ctx)} * jpegdec::JpegOutChannels(ctx) * (jpegdec::JpegSampleBits(ctx) > 8 ? 2 : 1);
    }
    jpegdec::JpegDecoderContext* ctx = nullptr;
    bool ok = false;
};

void Samples(benchmark::State& state, int stream) {
    Core probe(core_stream(stream), false);
    state.counters["samples/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * jpegdec::JpegWidth(probe.ctx) * jpegdec::JpegHeight(probe.ctx) *
            jpegdec::JpegComponentCount(probe.ctx),
        benchmark::Counter::kIsRate);
    state.SetLabel(kCoreStreams[stream]);
}

void CoreWhole(benchmark::State& state) {
    const int stream = static_cast<int>(state.range(0));
    if (core_stream(stream).empty()) return state.SkipWithError("run the target jpegdec_bench_data first");
    std::vector<uint8_t> frame;
    for (auto _ : state) {
        Core core(core_stream(stream), state.range(1) != 0);
        if (!core.ok) return state.SkipWithError("not started");
        const size_t row = core.RowBytes();
        frame.resize(row * jpegdec::JpegHeight(core.ctx));
        for (uint32_t y = 0; y < jpegdec::JpegHeight(core.ctx); ++y)
            if (jpegdec::ReadRows(core.ctx, frame.data() + row * y) < 1) return state.SkipWithError("row");
        benchmark::DoNotOptimize(frame.data());
    }
    Samples(state, stream);
}

void CoreEntropy(benchmark::State& state) {
    const int stream = static_cast<int>(state.range(0));
    if (core_stream(stream).empty()) return state.SkipWithError("run the target jpegdec_bench_data first");
    for (auto _ : state) {
        Core core(core_stream(stream), false);
        jpegdec::JpegDecoderContext* ctx = core.ctx;
        if (!core.ok || !ctx->kernelPath) return state.SkipWithError("not on the kernel path");
        if (ctx->frameMarker == 0xC3) {
            jpegdec::LosslessRowRecord record{ctx->width, ctx->componentCount, {}};
            for (uint32_t c = 0; c < ctx->componentCount; ++c)
                record.rows[c] = reinterpret_cast<uint16_t*>(ctx->componentRows[c].third);
            for (uint32_t y = 0; y < ctx->height; ++y)
                if (ctx->losslessDecoder(ctx, &record, static_cast<int>(ctx->componentCount)) < 1)
                    return state.SkipWithError("row");
        } else {
            for (uint32_t m = 0; m < ctx->mcusPerRow * ctx->mcuRows; ++m) {
                jpegdec::BlockRecord* block = ctx->blockRecords;
                for (uint32_t c = 0; c < ctx->componentCount; ++c)
                    for (uint32_t b = 0; b < ctx->mcuCompBlocks[c]; ++b, ++block)
                        if (ctx->mcuDecoder(ctx, block, static_cast<int>(c)) < 1) return state.SkipWithError("block");
            }
        }
    }
    Samples(state, stream);
}

BENCHMARK(CoreWhole)->ArgsProduct({{0, 1, 2, 4, 5, 6}, {0}})->ArgNames({"stream", "generic"})->Unit(benchmark::kMillisecond);
BENCHMARK(CoreWhole)->ArgsProduct({{0, 1, 2}, {1}})->ArgNames({"stream", "generic"})->Unit(benchmark::kMillisecond);
BENCHMARK(CoreEntropy)->ArgsProduct({{0, 1, 2, 4, 5, 6}})->ArgNames({"stream"})->Unit(benchmark::kMillisecond);

}  // namespace
