#pragma once
// The random-access byte source every reader of the library takes its bytes
// from. Positions, sizes and counts are signed 32-bit; get() gives -1 at the
// end; read() and move() give what they achieved.
//
// Forms: VRX_FileInputStorage, VRX_ByteArrayInputStorage, the decorators
// (VRX_DataInput, VRX_InputStorageBound, VRX_MoveInMoveOutInputStorage,
// VRX_MutexInputStorage) and VRX_CombinedInputStorage.
#include "vrx/framework/io/vrx_movableinputstream.h"

namespace vrx {

class VRX_InputStorage : public VRX_MovableInputStream {
public:
    using VRX_MovableInputStream::VRX_MovableInputStream;
    ~VRX_InputStorage() override = default;

    // move(n).
    int32_t skip(int32_t n) override;
    // True when the size is 0 or the position equals the size.
    bool is_end() override;
    // to_begin, then move by min(size, n); true when the whole distance moved.
    bool seek_from_begin(int32_t n) override;
    // to_end, then move by max(n, -size); true when the whole distance moved.
    bool seek_from_end(int32_t n) override;
};

// Positioned reads: bytes at an absolute position, copied without touching
// the storage's own position, safe to call from several threads at once. The
// shared-position reader uses them when the storage it wraps offers them.
class VRX_PositionedInput {
public:
    virtual ~VRX_PositionedInput() = default;
    // True when read_at() can be used now.
    virtual bool can_read_at() = 0;
    // True when each read_at() costs a system call, so that a reader does
    // better to read ahead into memory of its own.
    virtual bool read_at_is_costly() = 0;
    // Copies up to n bytes from `position` (at most to the size); the count.
    virtual int32_t read_at(int32_t position, void* buffer, int32_t n) = 0;
};

}  // namespace vrx
