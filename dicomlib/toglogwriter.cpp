#include "dicomlib/toglogwriter.h"

#include <atomic>

namespace TogDicomLib {
namespace {

std::atomic<TogILogWriter*> g_logWriter{nullptr};

}  // namespace

void SetLogWriter(TogILogWriter* writer) noexcept {
    g_logWriter.store(writer, std::memory_order_release);
}

TogILogWriter* GetLogWriter() noexcept {
    return g_logWriter.load(std::memory_order_acquire);
}

void Report(const char* signature, int32_t code, const TogString& message) noexcept {
    TogILogWriter* writer = GetLogWriter();
    if (writer == nullptr) return;
    try {
        writer->Write(signature != nullptr ? signature : "", 0, code, message);
    } catch (...) {
        // A writer's failure never reaches the library's callers.
    }
}

void ReportFormat(const char* signature, int32_t code, const char16_t* format, ...) noexcept {
    if (GetLogWriter() == nullptr) return;
    va_list args;
    va_start(args, format);
    const TogString message = TogString::FormatV(format, args);
    va_end(args);
    Report(signature, code, message);
}

std::mutex& GetLibraryLock() noexcept {
    static std::mutex lock;
    return lock;
}

}  // namespace TogDicomLib
