#pragma once
// A log writer for tests: keeps every report and installs itself for the
// lifetime of the object.
#include <string>
#include <vector>

#include "dicomlib/toglogwriter.h"

struct LoggedLine {
    std::string signature;
    int severity;
    int32_t code;
    std::string message;
};

class RecordingLogWriter : public TogILogWriter {
public:
    RecordingLogWriter() { TogDicomLib::SetLogWriter(this); }
    ~RecordingLogWriter() override { TogDicomLib::SetLogWriter(nullptr); }

    bool Open(const TogString&) override { return true; }
    void Close() override {}
    void Write(const char* signature, int severity, int32_t code, const TogString& message) override {
        lines.push_back({signature, severity, code, message.ToUtf8()});
    }
    void Flush() override {}
    bool IsOpen() const override { return true; }

    std::vector<std::string> Messages() const {
        std::vector<std::string> out;
        for (const LoggedLine& l : lines) out.push_back(l.message);
        return out;
    }

    std::vector<LoggedLine> lines;
};
