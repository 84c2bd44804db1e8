// Speed of the data-set reader: a DICOMDIR of 10,700 directory records and a
// 512 x 512 CT image, from a path (C stream), from memory and through the
// read and skip callbacks, and the text of every element of the DICOMDIR.
// The inputs are made by make_bench_data.py (target dicomlib_bench_data).
// Files of empty elements in falling tag order (0.5 to 4 MiB, made here)
// must load in time proportional to their size; the same elements in rising
// order are the anchor.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dicomlib/togdicomdataset.h"
#include "dicomlib/togresult.h"

namespace {

std::string Input(const char* name) {
    return std::string(BENCH_DATA_DIR) + "/" + name;
}

std::vector<uint8_t> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Missing(benchmark::State& state, const std::string& path) {
    if (std::filesystem::exists(path)) return false;
    state.SkipWithError("run the target dicomlib_bench_data first");
    return true;
}

void ByPath(benchmark::State& state, const char* name) {
    const std::string path = Input(name);
    if (Missing(state, path)) return;
    const TogString wide = TogString::FromUtf8(path);
    for (auto _ : state) {
        TogDicomDataset ds;
        if (ds.OpenReadingFileByPath(wide, true, TogString(), 1) != TogDicomLib::ResultSuccess) {
            state.SkipWithError("parse failed");
        }
        benchmark::DoNotOptimize(ds.GetRoot()->GetChildCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * std::filesystem::file_size(path)));
}

void FromMemory(benchmark::State& state, const char* name) {
    const std::string path = Input(name);
    if (Missing(state, path)) return;
    const std::vector<uint8_t> bytes = Bytes(path);
    for (auto _ : state) {
        TogDicomDataset ds;
        ds.OpenReadingFile(TogDicomSource::FromMemory(bytes.data(), bytes.size()), true, TogString(), 1);
        benchmark::DoNotOptimize(ds.GetRoot()->GetChildCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

struct Sequential {
    const std::vector<uint8_t>* bytes;
    size_t at;
};

int Read(void* buffer, int64_t, uint32_t count, void* context, uint8_t* endOfData) {
    auto* s = static_cast<Sequential*>(context);
    if (buffer == nullptr) {
        *endOfData = s->at >= s->bytes->size();
        return 0;
    }
    if (count > s->bytes->size() - s->at) return -1;
    std::memcpy(buffer, s->bytes->data() + s->at, count);
    s->at += count;
    return 0;
}

int Skip(int64_t, int32_t distance, void* context) {
    auto* s = static_cast<Sequential*>(context);
    s->at = static_cast<size_t>(static_cast<int64_t>(s->at) + distance);
    return 0;
}

void ThroughCallbacks(benchmark::State& state, const char* name, bool knownSize) {
    const std::string path = Input(name);
    if (Missing(state, path)) return;
    const std::vector<uint8_t> bytes = Bytes(path);
    for (auto _ : state) {
        Sequential source{&bytes, 0};
        TogDicomDataset ds;
        ds.OpenReadingFile(&Read, &Skip, &source, true, TogString(), 1,
                           knownSize ? static_cast<int64_t>(bytes.size()) : -1);
        benchmark::DoNotOptimize(ds.GetRoot()->GetChildCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

size_t TextOfTree(const TogDicomDataElement& e) {
    size_t n = 0;
    TogString text;
    for (uint32_t i = 0; i < e.GetChildCount(); ++i) {
        const TogDicomDataElement* child = e.GetChildAt(i);
        if (child->GetText(text, TogDicomLib::VR::Blank, -1) == TogDicomLib::ResultSuccess) n += text.GetLength();
        n += TextOfTree(*child);
    }
    return n;
}

void BM_DicomdirText(benchmark::State& state) {
    const std::string path = Input("fileset/DICOMDIR");
    if (Missing(state, path)) return;
    TogDicomDataset ds;
    ds.OpenReadingFileByPath(TogString::FromUtf8(path), true, TogString(), 1);
    for (auto _ : state) benchmark::DoNotOptimize(TextOfTree(*ds.GetRoot()));
}

// A Part 10 file of `bytes` bytes whose data set is empty LO elements, tags
// falling from (6FFE,FFFF) or rising to it.
std::vector<uint8_t> EmptyElements(size_t bytes, bool falling) {
    std::vector<uint8_t> out(128, 0);
    auto put16 = [&out](uint32_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    const std::string uid("1.2.840.10008.1.2.1\0", 20);
    out.insert(out.end(), {'D', 'I', 'C', 'M', 0x02, 0x00, 0x10, 0x00, 'U', 'I'});
    put16(static_cast<uint32_t>(uid.size()));
    out.insert(out.end(), uid.begin(), uid.end());
    const size_t count = (bytes - out.size()) / 8;
    for (size_t i = 0; i < count; ++i) {
        const size_t k = falling ? i : count - 1 - i;
        put16(0x6FFE - 2 * static_cast<uint32_t>(k / 0xFFFF));
        put16(0xFFFF - static_cast<uint32_t>(k % 0xFFFF));
        out.insert(out.end(), {'L', 'O', 0, 0});
    }
    return out;
}

void TagOrder(benchmark::State& state, bool falling) {
    const std::vector<uint8_t> bytes = EmptyElements(static_cast<size_t>(state.range(0)) << 10, falling);
    for (auto _ : state) {
        TogDicomDataset ds;
        if (ds.OpenReadingFile(TogDicomSource::FromMemory(bytes.data(), bytes.size()), true, TogString(), 1) !=
            TogDicomLib::ResultSuccess)
            state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(ds.GetRoot()->GetChildCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

BENCHMARK_CAPTURE(TagOrder, Falling, true)->RangeMultiplier(2)->Range(512, 4096)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TagOrder, Rising, false)->RangeMultiplier(2)->Range(512, 4096)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ByPath, Dicomdir, "fileset/DICOMDIR")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FromMemory, Dicomdir, "fileset/DICOMDIR")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ThroughCallbacks, DicomdirSizeKnown, "fileset/DICOMDIR", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ThroughCallbacks, DicomdirSizeUnknown, "fileset/DICOMDIR", false)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DicomdirText)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ByPath, Ct, "ct.dcm")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FromMemory, Ct, "ct.dcm")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ThroughCallbacks, CtSizeKnown, "ct.dcm", true)->Unit(benchmark::kMicrosecond);

}  // namespace
