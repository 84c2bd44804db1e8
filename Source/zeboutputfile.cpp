#include "Source/zeboutputfile.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Source/zebvrxchain.h"

namespace {

// Links followed before the path counts as a loop (as the kernel does).
constexpr int kMaxLinks = 40;

// The folder part of a path, with its closing '/'; empty for a bare name.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool ReadLink(const std::string& path, std::string& out) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (n < 0) return false;
        if (size_t(n) < buffer.size()) {
            out.assign(buffer.data(), size_t(n));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// A stream connection to the socket at the path.
int ConnectSocket(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int cause = errno;
        ::close(fd);
        errno = cause;
        return -1;
    }
    return fd;
}

}  // namespace

ZEBOutputFile::ZEBOutputFile(std::string path) : m_path(std::move(path)), m_target(m_path) {}

ZEBOutputFile::~ZEBOutputFile() { Discard(); }

bool ZEBOutputFile::Fail(ZEBVRXError& error, const std::string& what, int cause) {
    Discard();
    return error.Fail(0, "", what + ": " + std::strerror(cause));
}

void ZEBOutputFile::Discard() {
    if (m_fd >= 0 && m_kind != Kind::kStandardOutput) ::close(m_fd);
    m_fd = -1;
    if (!m_temporary.empty()) ::unlink(m_temporary.c_str());
    m_temporary.clear();
}

bool ZEBOutputFile::Inspect(ZEBVRXError& error) {
    m_inspected = true;
    m_exists = false;
    m_socket = false;
    m_target = m_path;
    if (m_path == "-") {
        m_kind = Kind::kStandardOutput;
        return true;
    }
    if (m_path.empty()) return Fail(error, "cannot write the output", ENOENT);
    for (int links = 0;; ++links) {
        struct stat st;
        if (::lstat(m_target.c_str(), &st) != 0) {
            // A new name; its folder is looked at when the file is made.
            if (errno != ENOENT) return Fail(error, "cannot write the output", errno);
            m_kind = Kind::kReplaced;
            return true;
        }
        if (S_ISLNK(st.st_mode)) {
            std::string link;
            if (links == kMaxLinks) return Fail(error, "cannot write the output", ELOOP);
            if (!ReadLink(m_target, link)) return Fail(error, "cannot write the output", errno);
            m_target = !link.empty() && link[0] == '/' ? link : FolderOf(m_target) + link;
            continue;
        }
        if (S_ISDIR(st.st_mode)) return Fail(error, "cannot write the output", EISDIR);
        // A file the caller may not write is refused as a shell's redirection
        // would refuse it, although a new file could be renamed over it.
        if (::faccessat(AT_FDCWD, m_target.c_str(), W_OK, AT_EACCESS) != 0)
            return Fail(error, "cannot write the output", errno);
        m_exists = true;
        m_device = st.st_dev;
        m_inode = st.st_ino;
        m_mode = st.st_mode & 07777;
        m_kind = S_ISREG(st.st_mode) ? Kind::kReplaced : Kind::kInPlace;
        m_socket = S_ISSOCK(st.st_mode);
        return true;
    }
}

bool ZEBOutputFile::IsFile(dev_t device, ino_t inode) const {
    return m_exists && m_device == device && m_inode == inode;
}

bool ZEBOutputFile::Open(ZEBVRXError& error) {
    Discard();
    m_truncated = false;
    m_written = 0;
    if (!m_inspected && !Inspect(error)) return false;
    switch (m_kind) {
        case Kind::kStandardOutput:
            m_fd = STDOUT_FILENO;
            return true;
        case Kind::kInPlace:
            m_fd = m_socket ? ConnectSocket(m_target)
                            : ::open(m_target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
            return m_fd >= 0 || Fail(error, "cannot open the output", errno);
        case Kind::kReplaced:
            break;
    }
    // A new file beside the target, renamed over it once complete; it takes
    // the permissions of the file it replaces.
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        m_temporary =
            m_target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST) break;
    }
    if (m_fd < 0) {
        const int cause = errno;
        m_temporary.clear();
        // A file in a folder where no new file can be made (its own
        // permissions allow writing) is truncated and written in place.
        if (m_exists) {
            m_fd = ::open(m_target.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
            m_truncated = m_fd >= 0;
            return m_truncated || Fail(error, "cannot write the output", errno);
        }
        return Fail(error, "cannot create the output", cause);
    }
    if (m_exists && ::fchmod(m_fd, m_mode) != 0)
        return Fail(error, "cannot create the output", errno);
    return true;
}

bool ZEBOutputFile::Write(const void* bytes, size_t size, ZEBVRXError& error) {
    if (m_fd < 0) return Fail(error, "cannot write the output", EBADF);
    const auto* p = static_cast<const uint8_t*>(bytes);
    while (size > 0) {
        const ssize_t n = m_socket ? ::send(m_fd, p, size, MSG_NOSIGNAL) : ::write(m_fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        // What was written stays: a file written in place, or a stream whose
        // reader took some of it (and went away), is left cut short.
        if (n <= 0)
            return Fail(error,
                        m_truncated ? "cannot write the output in place, which is left cut short"
                        : m_written > 0 && m_kind != Kind::kReplaced
                            ? "cannot write the whole output, which is cut short"
                            : "cannot write the output",
                        n < 0 ? errno : EIO);
        m_written += uint64_t(n);
        p += n;
        size -= size_t(n);
    }
    return true;
}

bool ZEBOutputFile::Commit(ZEBVRXError& error) {
    if (m_fd < 0) return Fail(error, "cannot write the output", EBADF);
    if (m_kind == Kind::kStandardOutput) {
        m_fd = -1;
        return true;
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) return Fail(error, "cannot write the output", errno);
    if (m_temporary.empty()) return true;
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0)
        return Fail(error, "cannot write the output", errno);
    m_temporary.clear();
    return true;
}
