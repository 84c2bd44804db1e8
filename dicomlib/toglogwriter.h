#pragma once
// Log output of the DICOM library. Failures are reported as lines through one
// replaceable log writer; with none installed (the default) every report is
// dropped at once and results are unaffected.
#include <cstdarg>
#include <cstdint>
#include <mutex>

#include "dicomlib/togstring.h"

class TogILogWriter {
public:
    virtual ~TogILogWriter() = default;
    // Opens the writer's destination (a file name, for a writer to a file).
    virtual bool Open(const TogString& destination) = 0;
    virtual void Close() = 0;
    // One report: the reporting function's signature as narrow text, the
    // severity (0 error, 1 warning), the result code and the message.
    virtual void Write(const char* signature, int severity, int32_t code,
                       const TogString& message) = 0;
    virtual void Flush() = 0;
    virtual bool IsOpen() const = 0;
};

// A writer that does nothing.
class TogNullLogWriter : public TogILogWriter {
public:
    bool Open(const TogString&) override { return true; }
    void Close() override {}
    void Write(const char*, int, int32_t, const TogString&) override {}
    void Flush() override {}
    bool IsOpen() const override { return true; }
};

namespace TogDicomLib {

// The installed writer (not owned), or null to drop every report.
void SetLogWriter(TogILogWriter* writer) noexcept;
TogILogWriter* GetLogWriter() noexcept;

// Reports a failure with severity 0 when a writer is installed.
void Report(const char* signature, int32_t code, const TogString& message) noexcept;
// The same with a message built by TogString::Format; nothing is formatted
// when no writer is installed.
void ReportFormat(const char* signature, int32_t code, const char16_t* format, ...) noexcept;

// The library's lock: exists for the whole run; the library itself never
// takes it.
std::mutex& GetLibraryLock() noexcept;

}  // namespace TogDicomLib
