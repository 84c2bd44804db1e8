#include "platform/read_file.h"

#include <cstdio>

namespace platform {

bool read_small_file(const std::string& path, size_t max_bytes, std::vector<unsigned char>& out) {
    out.clear();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    unsigned char buffer[65536];
    size_t got;
    bool ok = true;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        if (got > max_bytes - out.size()) {
            ok = false;
            break;
        }
        out.insert(out.end(), buffer, buffer + got);
    }
    ok = ok && !std::ferror(f);
    std::fclose(f);
    if (!ok) out.clear();
    return ok;
}

}  // namespace platform
