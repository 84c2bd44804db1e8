#include "platform/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/byte_count.h"

namespace platform {
namespace {

std::string size_text(size_t bytes) {
    constexpr size_t kMiB = size_t{1} << 20;
    return bytes >= kMiB && bytes % kMiB == 0 ? std::to_string(bytes / kMiB) + " MiB"
                                              : std::to_string(bytes) + " bytes";
}

std::string cannot_read(int error) {
    return std::string("cannot be read: ") + std::strerror(error);
}

// Reads the regular file open at `fd` into `out`; the reason in words when
// it cannot be used, else empty.
std::string read_regular(int fd, size_t max_bytes, std::vector<unsigned char>& out) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return cannot_read(errno);
    // A folder says so as a read of it would.
    if (S_ISDIR(st.st_mode)) return cannot_read(EISDIR);
    if (!S_ISREG(st.st_mode)) return "is not a regular file";
    // Refused before anything is allocated for it.
    const ByteCount size = ByteCount::from(st.st_size);
    if (!size.at_most(max_bytes)) return "is larger than " + size_text(max_bytes);
    out.reserve(static_cast<size_t>(size.value()));
    // Opened without waiting (a FIFO would block the open), read waiting.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return cannot_read(errno);
    unsigned char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) return {};
        if (got < 0) {
            if (errno == EINTR) continue;
            return cannot_read(errno);
        }
        // The file may have grown since its size was taken.
        if (static_cast<size_t>(got) > max_bytes - out.size())
            return "is larger than " + size_text(max_bytes);
        out.insert(out.end(), buffer, buffer + got);
    }
}

// Closes the file however its read ends: memory may run out in it.
struct ClosedAtEnd {
    int fd;
    ~ClosedAtEnd() { ::close(fd); }
};

}  // namespace

bool read_small_file(const std::string& path, size_t max_bytes, std::vector<unsigned char>& out,
                     std::string* why) {
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (why) *why = std::string("cannot be opened: ") + std::strerror(errno);
        return false;
    }
    const ClosedAtEnd closed{fd};
    const std::string reason = read_regular(fd, max_bytes, out);
    if (reason.empty()) return true;
    out.clear();
    if (why) *why = reason;
    return false;
}

}  // namespace platform
