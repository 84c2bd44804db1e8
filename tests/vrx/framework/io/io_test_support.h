#pragma once
// Helpers shared by the storage, combined-storage and bitmap tests.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/test_folder.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

namespace iotest {

// The recorded status has this code and function text.
inline ::testing::AssertionResult has_status(vrx::VRX_Manager& manager, uint32_t code,
                                             const char* function) {
    const vrx::VRX_Status status = manager.status();
    if (status.code == code && std::strcmp(status.function, function) == 0)
        return ::testing::AssertionSuccess();
    char text[64];
    std::snprintf(text, sizeof text, "0x%08X", status.code);
    return ::testing::AssertionFailure()
           << "status " << text << " \"" << status.function << "\" (" << status.file << ":"
           << status.line << ")";
}

// has_status, then the status cleared for the next step.
inline ::testing::AssertionResult reported(vrx::VRX_Manager& manager, uint32_t code,
                                           const char* function) {
    ::testing::AssertionResult result = has_status(manager, code, function);
    manager.reset();
    return result;
}

// Nothing was reported.
inline ::testing::AssertionResult is_clean(vrx::VRX_Manager& manager) {
    const vrx::VRX_Status status = manager.status();
    if (status.code == 0) return ::testing::AssertionSuccess();
    char text[64];
    std::snprintf(text, sizeof text, "0x%08X", status.code);
    return ::testing::AssertionFailure() << "unexpected status " << text << " \""
                                         << status.function << "\"";
}

inline std::vector<unsigned char> random_bytes(std::mt19937& random, size_t n) {
    std::vector<unsigned char> bytes(n);
    for (auto& b : bytes) b = static_cast<unsigned char>(random() & 0xFF);
    return bytes;
}

inline std::vector<unsigned char> counting_bytes(size_t n, unsigned start = 0) {
    std::vector<unsigned char> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<unsigned char>((start + i) & 0xFF);
    return bytes;
}

// A file in the test's temporary folder, removed with the object.
class TempFile {
public:
    explicit TempFile(const std::vector<unsigned char>& bytes) {
        std::string pattern = testfolder::file("vrx_io_XXXXXX");
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        const int fd = ::mkstemp(name.data());
        if (fd < 0) std::abort();
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) std::abort();
            done += static_cast<size_t>(n);
        }
        ::close(fd);
        path_ = name.data();
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() { ::unlink(path_.c_str()); }

    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

}  // namespace iotest
