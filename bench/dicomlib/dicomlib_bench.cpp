// Speed of the DICOM library's text core: character-set conversion of
// typical values, dictionary look-ups, number parsing and formatting.
#include <benchmark/benchmark.h>

#include <string>

#include "dicomlib/togcharset.h"
#include "dicomlib/togdicomdictionary.h"
#include "dicomlib/togdicomvr.h"
#include "dicomlib/togstring.h"

namespace {

void Convert(benchmark::State& state, const char16_t* charset, const std::string& value) {
    const TogString cs(charset);
    TogString out;
    for (auto _ : state) {
        TogDicomLib::ConvertDicomCharEncodeToUtf16(out, value.data(), value.size(), cs, TogDicomLib::VR::PN, false);
        benchmark::DoNotOptimize(out.GetString());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * value.size()));
}

void BM_ConvertAsciiDefault(benchmark::State& state) {
    Convert(state, u"", "DOE^JOHN^Q^^");
}
BENCHMARK(BM_ConvertAsciiDefault);

void BM_ConvertLatin1(benchmark::State& state) {
    Convert(state, u"ISO_IR 100", "Buc^J\xe9r\xf4me");
}
BENCHMARK(BM_ConvertLatin1);

void BM_ConvertJapaneseIso2022(benchmark::State& state) {
    Convert(state, u"ISO 2022 IR 13\\ISO 2022 IR 87",
            "\xd4\xcf\xc0\xde^\xc0\xdb\xb3=\x1b$B;3ED\x1b(J^\x1b$BB@O:\x1b(J=\x1b$B$d$^$@\x1b(J^\x1b$B$?$m$&\x1b(J");
}
BENCHMARK(BM_ConvertJapaneseIso2022);

void BM_ConvertUtf8(benchmark::State& state) {
    Convert(state, u"ISO_IR 192", "Wang^XiaoDong=\xe7\x8e\x8b^\xe5\xb0\x8f\xe6\x9d\xb1=");
}
BENCHMARK(BM_ConvertUtf8);

void BM_DictionaryVR(benchmark::State& state) {
    const uint32_t tags[][2] = {{0x0010, 0x0010}, {0x0028, 0x0010}, {0x7FE0, 0x0010}, {0x0008, 0x0005},
                                {0x6002, 0x3000}, {0x0009, 0x0010}, {0x0020, 0x0032}, {0x0018, 0x0050}};
    for (auto _ : state) {
        for (const auto& t : tags) benchmark::DoNotOptimize(TogDicomLib::GetDictionaryVR(t[0], t[1]));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * 8));
}
BENCHMARK(BM_DictionaryVR);

void BM_StrToDouble(benchmark::State& state) {
    const char16_t* values[] = {u"0.5", u"-1024.125", u" 3.14159265358979 ", u"1e-3", u"12345"};
    for (auto _ : state) {
        for (const char16_t* v : values) benchmark::DoNotOptimize(togutils::StrToDouble(v, nullptr));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * 5));
}
BENCHMARK(BM_StrToDouble);

void BM_FormatDouble(benchmark::State& state) {
    for (auto _ : state) {
        TogString s = TogString::Format(u"%f", 1234.5678);
        benchmark::DoNotOptimize(s.GetString());
    }
}
BENCHMARK(BM_FormatDouble);

}  // namespace
