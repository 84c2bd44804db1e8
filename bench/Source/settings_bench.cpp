// Start-up cost of large and hostile settings files, as the settings object
// reads them: an OverlaySetting.xml of 50,000 modalities and one of as many
// as the reader's 16 MiB limit holds (load and build of every modality's
// annotations), and a ZR-M_Viewer.ini whose face name is 8 MB. Each reports
// the file's size and the memory its load adds at its peak (resident
// memory of a child process that does one load).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "Source/appsettings.h"
#include "platform/xml_document.h"

namespace {

namespace fs = std::filesystem;

fs::path Folder(const std::string& name) {
    const fs::path folder = fs::temp_directory_path() / ("settings_bench_" + name);
    fs::create_directories(folder);
    return folder;
}

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// Modalities of one annotated line each, `count` of them or, with 0, as
// many as the 16 MiB limit holds.
std::string OverlayFile(size_t count) {
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<OVERLAYSETTING>\n";
    const std::string tail = "</OVERLAYSETTING>\n";
    std::string xml = head;
    for (size_t i = 0; count == 0 || i < count; ++i) {
        char block[200];
        std::snprintf(
            block, sizeof block,
            "<MODALITY NAME=\"M%06zu\"><LOCATION VALUE=\"UPPERLEFT\"><LINE>"
            "<TEXT VALUE=\"Name: \"/><TAG NO=\"0010,0010\"/></LINE></LOCATION></MODALITY>\n",
            i);
        if (xml.size() + std::strlen(block) + tail.size() > platform::XmlDocument::kMaxBytes) break;
        xml += block;
    }
    return xml + tail;
}

long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
    return -1;
}

// The resident memory that `work` adds at its peak, in MiB, measured in a
// child process that first gives back the memory the benchmark freed.
double PeakMiB(const std::function<void()>& work) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        ::malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again here
        const long base = StatusKiB("VmRSS:");
        work();
        const double mib = double(StatusKiB("VmHWM:") - base) / 1024.0;
        const ssize_t n = ::write(fds[1], &mib, sizeof mib);
        ::_exit(n == sizeof mib ? 0 : 1);
    }
    ::close(fds[1]);
    double mib = -1;
    if (pid < 0 || ::read(fds[0], &mib, sizeof mib) != sizeof mib) mib = -1;
    ::close(fds[0]);
    if (pid > 0) ::waitpid(pid, nullptr, 0);
    return mib;
}

void BM_OverlaySettingsModalities(benchmark::State& state) {
    const std::string xml = OverlayFile(size_t(state.range(0)));
    const fs::path folder = Folder("xml" + std::to_string(state.range(0)));
    Write(folder / OverlaySettingReader::kFileName, xml);
    state.counters["peak_MiB"] = PeakMiB([&] {
        AppSettings settings;
        settings.LoadOverlaySettings(folder.string());
    });
    size_t modalities = 0;
    for (auto _ : state) {
        auto settings = std::make_unique<AppSettings>();
        settings->LoadOverlaySettings(folder.string());
        modalities = settings->OverlaySettings().size();
        // The program never frees its settings.
        state.PauseTiming();
        settings.reset();
        state.ResumeTiming();
    }
    state.counters["modalities"] = double(modalities);
    state.counters["file_MiB"] = double(xml.size()) / (1 << 20);
    fs::remove_all(folder);
}
// 50,000 modalities, and the 16 MiB limit's worth (0).
BENCHMARK(BM_OverlaySettingsModalities)->Arg(50000)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_IniLongFaceName(benchmark::State& state) {
    const std::string ini =
        "[Font]\r\nStringsFaceName=" + std::string(size_t(8) << 20, 'F') + "\r\n[Other]\r\nx=1\r\n";
    const fs::path path = Folder("ini") / AppSettings::kFileName;
    Write(path, ini);
    state.counters["peak_MiB"] = PeakMiB([&] {
        AppSettings settings;
        settings.Load(path.string());
    });
    for (auto _ : state) {
        AppSettings settings;
        settings.Load(path.string());
        benchmark::DoNotOptimize(settings.FaceName().size());
    }
    state.counters["file_MiB"] = double(ini.size()) / (1 << 20);
    fs::remove_all(path.parent_path());
}
BENCHMARK(BM_IniLongFaceName)->Unit(benchmark::kMillisecond);

}  // namespace
