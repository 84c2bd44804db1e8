#pragma once
// Descriptor-level file access on POSIX systems. Reads are positioned
// (pread): they never move a shared file offset, so that several readers of
// one descriptor need no lock, and they are retried when a signal interrupts
// them.
#include <cstdint>

namespace vrx {

class VRX_Manager;

// Empty base marking file-backed storages.
class VRX_File {
public:
    virtual ~VRX_File() = default;
};

class VRX_PosixLowLevelIO {
public:
    explicit VRX_PosixLowLevelIO(VRX_Manager* manager) : io_manager_(manager) {}
    VRX_PosixLowLevelIO(const VRX_PosixLowLevelIO&) = delete;
    VRX_PosixLowLevelIO& operator=(const VRX_PosixLowLevelIO&) = delete;
    // Closes a descriptor still open.
    virtual ~VRX_PosixLowLevelIO();

    // Closes the descriptor when one is open (a failure is reported as
    // 0x80020000); the descriptor is -1 afterwards in any case. True.
    bool close();
    // Copies up to n bytes from the absolute `position`, reading on until the
    // request is complete, the file ends or the system fails (reported as
    // 0x80020000). The count delivered.
    int32_t read_at(int64_t position, void* buffer, int32_t n);

    int descriptor() const { return descriptor_; }
    bool is_open() const { return descriptor_ != -1; }

protected:
    VRX_Manager* io_manager_;
    int descriptor_ = -1;
};

class VRX_PosixLowLevelFile : public VRX_PosixLowLevelIO, public VRX_File {
public:
    using VRX_PosixLowLevelIO::VRX_PosixLowLevelIO;
    ~VRX_PosixLowLevelFile() override = default;

    // Closes a descriptor still open, then opens the regular file `name`
    // read-only, not inherited by child processes. On success `size` is the
    // file size. False when the file is missing, not a regular file or cannot
    // be opened (nothing reported: the caller reports).
    bool open_read(const char* name, int64_t& size);
    // Adopts an open descriptor of a regular file: its size and current
    // offset. False when it is not one (nothing reported).
    bool adopt(int descriptor, int64_t& size, int64_t& offset);
};

}  // namespace vrx
