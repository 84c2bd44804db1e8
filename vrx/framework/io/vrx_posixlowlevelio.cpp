#include "vrx/framework/io/vrx_posixlowlevelio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_PosixLowLevelIO::~VRX_PosixLowLevelIO() {
    if (descriptor_ != -1) ::close(descriptor_);
}

bool VRX_PosixLowLevelIO::close() {
    if (descriptor_ != -1) {
        // The descriptor is gone after close() whatever it answers, also after
        // an interruption: never retry.
        if (::close(descriptor_) != 0 && errno != EINTR)
            io_manager_->report(VRX_ERROR_IO, "VRX_PosixLowLevelIO::close()", __FILE__, 66);
        descriptor_ = -1;
    }
    return true;
}

int32_t VRX_PosixLowLevelIO::read_at(int64_t position, void* buffer, int32_t n) {
    if (n <= 0) return 0;
    auto* out = static_cast<unsigned char*>(buffer);
    int32_t total = 0;
    while (total < n) {
        const ssize_t got = ::pread(descriptor_, out + total, static_cast<size_t>(n - total),
                                    static_cast<off_t>(position + total));
        if (got > 0) {
            total += static_cast<int32_t>(got);
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            io_manager_->report(VRX_ERROR_IO, "VRX_PosixLowLevelIO::read()", __FILE__, 151);
            break;
        }
    }
    return total;
}

bool VRX_PosixLowLevelFile::open_read(const char* name, int64_t& size) {
    close();
    struct stat info {};
    // Asked before opening so that a FIFO or device is never opened (an open
    // of a FIFO would wait for a writer).
    if (::stat(name, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    int descriptor = -1;
    do {
        descriptor = ::open(name, O_RDONLY | O_CLOEXEC | O_NOCTTY);
    } while (descriptor == -1 && errno == EINTR);
    if (descriptor == -1) return false;
    // The file opened may not be the one asked about a moment ago.
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        return false;
    }
    descriptor_ = descriptor;
    size = static_cast<int64_t>(info.st_size);
    return true;
}

bool VRX_PosixLowLevelFile::adopt(int descriptor, int64_t& size, int64_t& offset) {
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    const off_t current = ::lseek(descriptor, 0, SEEK_CUR);
    if (current < 0) return false;
    close();
    descriptor_ = descriptor;
    size = static_cast<int64_t>(info.st_size);
    offset = static_cast<int64_t>(current);
    return true;
}

}  // namespace vrx
