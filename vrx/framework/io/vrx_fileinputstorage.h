#pragma once
// An input storage over a file, opened read-only by name (or adopted as an
// open descriptor). The size is taken when the file is opened: the storage
// shows the file's first `size` bytes as they are when they are read. Reads are
// served from a read-ahead buffer with positioned system reads, so reading
// byte by byte costs no system call per byte.
#include <cstdint>

#include "vrx/framework/include/vrx_basicstring.h"
#include "vrx/framework/io/vrx_inputstorage.h"
#include "vrx/framework/io/vrx_namableimpl.h"
#include "vrx/framework/io/vrx_posixlowlevelio.h"
#include "vrx/framework/io/vrx_posixstorage.h"
#include "vrx/framework/io/vrx_readaheadbuffer.h"
#include "vrx/framework/io/vrx_storageposition.h"

namespace vrx {

class VRX_FileInputStorage : public VRX_InputStorage,
                             public VRX_NamableImpl<VRX_BasicString<char>>,
                             public VRX_PosixStorage<VRX_PosixLowLevelFile>,
                             public VRX_PositionedInput {
public:
    explicit VRX_FileInputStorage(VRX_Manager* manager);
    ~VRX_FileInputStorage() override = default;

    // Opens the file `name` (UTF-8). Null after a report when it cannot be
    // opened: 0x80020000 "VRX_PosixStorage::open()" for a missing or
    // unreadable file, 0x81000000 for one above 2147483647 bytes, 0x80800000
    // for a null name.
    static VRX_FileInputStorage* create(VRX_Manager* manager, const char* name);

    // Closes the file (a close failure is reported); true.
    bool terminate() override;
    bool is_closed() override { return !is_open(); }
    // -1 at the end, without a report of its own.
    int32_t get() override;
    // Copies up to n bytes; a failing system read is reported (0x80020000) and
    // the count delivered before it is returned.
    int32_t read(void* buffer, int32_t n) override;
    int32_t position() override;
    // Clamped to [0, size]; from a place beyond the end it never goes farther
    // than asked nor against its direction.
    int32_t move(int32_t n) override;
    // min(n, size); a negative n fails (0x80020000).
    bool seek_from_begin(int32_t n) override;
    // size + n floored at 0; a place past the end is allowed (reads there
    // deliver nothing).
    bool seek_from_end(int32_t n) override;
    int32_t size() override;
    bool to_begin() override;
    bool to_end() override;

    // Adopts an open descriptor of a regular file, which the storage closes
    // when it is terminated. 0 does nothing (true); a negative descriptor:
    // 0x80800000.
    bool initiate(int descriptor);
    // Opens the file `name`; a null name does nothing (true). A file already
    // open is closed first and the stamp renewed.
    bool initiate(const char* name);

    bool can_read_at() override { return is_open(); }
    bool read_at_is_costly() override { return true; }
    // Positioned read (no position or buffer of the storage is touched);
    // several threads may call it at once.
    int32_t read_at(int32_t position, void* buffer, int32_t n) override;

    using VRX_PosixStorage<VRX_PosixLowLevelFile>::close;

private:
    // Reports the failure of `function` on a closed storage; true when open.
    bool check_open(const char* function, uint32_t line);
    // Sets the file's size and the position after an open.
    bool attach(int64_t size, int64_t position);

    int32_t size_ = 0;
    int32_t position_ = 0;
    VRX_ReadAheadBuffer read_ahead_;
};

}  // namespace vrx
