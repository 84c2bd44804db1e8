#include "platform/read_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {
namespace {

std::string size_text(size_t bytes) {
    constexpr size_t kMiB = size_t{1} << 20;
    return bytes >= kMiB && bytes % kMiB == 0 ? std::to_string(bytes / kMiB) + " MiB"
                                              : std::to_string(bytes) + " bytes";
}

}  // namespace

bool read_small_file(const std::string& path, size_t max_bytes, std::vector<unsigned char>& out,
                     std::string* why) {
    out.clear();
    std::string reason;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        if (why) *why = std::string("cannot be opened: ") + std::strerror(errno);
        return false;
    }
    unsigned char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        if (got > max_bytes - out.size()) {
            reason = "is larger than " + size_text(max_bytes);
            break;
        }
        out.insert(out.end(), buffer, buffer + got);
    }
    if (reason.empty() && std::ferror(f))
        reason = std::string("cannot be read: ") + std::strerror(errno);
    std::fclose(f);
    if (reason.empty()) return true;
    out.clear();
    if (why) *why = reason;
    return false;
}

}  // namespace platform
