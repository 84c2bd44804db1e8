// Speed of the storages as readers use them (byte by byte and in blocks,
// through the decorators of a shared file) and of the bitmap writer.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "vrx/core/dib/vrx_writedib.h"
#include "vrx/core/memory/vrx_readmemory.h"
#include "vrx/extension/combinedstorage/vrx_combinedinputstorage.h"
#include "vrx/framework/io/vrx_bytearrayinputstorage.h"
#include "vrx/framework/io/vrx_bytearrayoutputstorage.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"
#include "vrx/framework/io/vrx_inputstoragebound.h"
#include "vrx/framework/io/vrx_moveinmoveoutinputstorage.h"
#include "vrx/framework/io/vrx_mutexinputstorage.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

using namespace vrx;

namespace {

constexpr int32_t file_bytes = 4 << 20;

// One temporary file of pseudo-random bytes for the whole run.
const char* bench_file() {
    static std::string path = [] {
        char name[] = "/tmp/vrx_io_bench_XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd < 0) std::abort();
        std::vector<unsigned char> bytes(file_bytes);
        uint32_t x = 12345;
        for (auto& b : bytes) b = static_cast<unsigned char>((x = x * 1103515245u + 12345u) >> 24);
        if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) std::abort();
        ::close(fd);
        std::atexit([] { ::unlink(path.c_str()); });
        return std::string(name);
    }();
    return path.c_str();
}

// Reads the storage to its end byte by byte.
void drain_bytes(VRX_InputStorage* s, benchmark::State& state) {
    int64_t sum = 0;
    for (int32_t c; (c = s->get()) >= 0;) sum += c;
    benchmark::DoNotOptimize(sum);
    state.SetBytesProcessed(state.bytes_processed() + s->size());
}

void drain_blocks(VRX_InputStorage* s, int32_t block, benchmark::State& state) {
    std::vector<unsigned char> buffer(static_cast<size_t>(block));
    while (s->read(buffer.data(), block) > 0) benchmark::ClobberMemory();
    state.SetBytesProcessed(state.bytes_processed() + s->size());
}

void BM_FileGetBytes(benchmark::State& state) {
    for (auto _ : state) {
        VRX_DefaultManager manager;
        auto* file = VRX_FileInputStorage::create(&manager, bench_file());
        drain_bytes(file, state);
        file->destroy();
    }
}
BENCHMARK(BM_FileGetBytes)->Unit(benchmark::kMillisecond);

void BM_FileReadBlocks(benchmark::State& state) {
    for (auto _ : state) {
        VRX_DefaultManager manager;
        auto* file = VRX_FileInputStorage::create(&manager, bench_file());
        drain_blocks(file, static_cast<int32_t>(state.range(0)), state);
        file->destroy();
    }
}
BENCHMARK(BM_FileReadBlocks)->Arg(16)->Arg(512)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// The DICOM layering: file, mutex, shared-position reader, window.
void BM_SharedFileWindowGetBytes(benchmark::State& state) {
    for (auto _ : state) {
        VRX_DefaultManager manager;
        auto* file = VRX_FileInputStorage::create(&manager, bench_file());
        auto* guarded = VRX_MutexInputStorage::create(&manager, file);
        auto* reader = VRX_MoveInMoveOutInputStorage<VRX_InputStorage>::create(&manager, guarded, 0);
        auto* window = VRX_InputStorageBound<VRX_InputStorage>::create(&manager, reader, file_bytes);
        file->destroy();
        guarded->destroy();
        reader->destroy();
        drain_bytes(window, state);
        window->destroy();
    }
}
BENCHMARK(BM_SharedFileWindowGetBytes)->Unit(benchmark::kMillisecond);

// The same with a window between file and mutex, so that the reader moves the
// shared storage in and out for every call.
void BM_SharedMovedInReadBlocks(benchmark::State& state) {
    for (auto _ : state) {
        VRX_DefaultManager manager;
        auto* file = VRX_FileInputStorage::create(&manager, bench_file());
        auto* whole = VRX_InputStorageBound<VRX_InputStorage>::create(&manager, file, file_bytes);
        auto* guarded = VRX_MutexInputStorage::create(&manager, whole);
        auto* reader = VRX_MoveInMoveOutInputStorage<VRX_InputStorage>::create(&manager, guarded, 0);
        file->destroy();
        whole->destroy();
        guarded->destroy();
        drain_blocks(reader, static_cast<int32_t>(state.range(0)), state);
        reader->destroy();
    }
}
BENCHMARK(BM_SharedMovedInReadBlocks)->Arg(16)->Arg(4096)->Unit(benchmark::kMillisecond);

void BM_CombinedReadBlocks(benchmark::State& state) {
    std::vector<unsigned char> bytes(file_bytes, 1);
    const int32_t parts = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        VRX_DefaultManager manager;
        auto* array = VRX_ByteArrayInputStorage::create(&manager, bytes.data(), file_bytes);
        VRX_Vector<VRX_InputStorage*> list(&manager);
        for (int32_t p = 0; p < parts; ++p) {
            auto* reader = VRX_MoveInMoveOutInputStorage<VRX_InputStorage>::create(&manager, array, p * (file_bytes / parts));
            list.push_back(VRX_InputStorageBound<VRX_InputStorage>::create(&manager, reader, file_bytes / parts));
            reader->destroy();
        }
        auto* combined = VRX_CombinedInputStorage::create(&manager, list);
        for (auto* part : list) part->destroy();
        array->destroy();
        drain_blocks(combined, 4096, state);
        combined->destroy();
    }
}
BENCHMARK(BM_CombinedReadBlocks)->Arg(1)->Arg(64)->Unit(benchmark::kMillisecond);

// A 1024 x 1024 image through the writer at each depth.
void BM_WriteDIB(benchmark::State& state) {
    const auto bits = static_cast<uint32_t>(state.range(0));
    const uint32_t size = 1024;
    const uint16_t channels = bits >= 16 ? 3 : 1;
    VRX_DefaultManager setup;
    std::vector<unsigned char> pixels(size_t{size} * size * channels * (bits == 1 ? 1 : 8) / 8, 0x5A);
    std::vector<unsigned char> dib;
    for (auto _ : state) {
        VRX_DefaultManager manager;
        VRX_Header header(&manager);
        header.width = size;
        header.height = size;
        header.bits = bits == 1 ? 1 : 8;
        header.channels = channels;
        header.color_type(channels == 3 ? VRX_ColorType::s_rgb() : VRX_ColorType::gray());
        const VRX_WriteDIBOption option(0, 96, 96, bits);
        dib.resize(VRX_WriteDIB::total_bytes(&header, option));
        auto* storage = VRX_ByteArrayOutputStorage::create(&manager, dib.data(), static_cast<int32_t>(dib.size()));
        VRX_ReadMemory reader(&manager);
        VRX_Engine* source = reader.engine(&header, pixels.data(), static_cast<uint32_t>(pixels.size()));
        VRX_Engine* writer = VRX_WriteDIB(&manager).engine(source, storage, option);
        storage->destroy();
        while (writer && writer->execute()) {
        }
        manager.execute();
        state.SetBytesProcessed(state.bytes_processed() + static_cast<int64_t>(dib.size()));
    }
}
BENCHMARK(BM_WriteDIB)->Arg(1)->Arg(8)->Arg(16)->Arg(24)->Arg(32)->Unit(benchmark::kMillisecond);

}  // namespace
