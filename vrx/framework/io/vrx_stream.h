#pragma once
// Common ground of input and output streams.
#include <cstdint>

namespace vrx {

// Empty base that marks every stream of the library.
class VRX_Stream {
public:
    virtual ~VRX_Stream() = default;
};

// Identity of an input stream: renewed when a file storage is opened again,
// so that a reader can tell that the data behind it changed.
struct VRX_StreamStamp {
    // 1 after construction; plus 1 at each re-initiation of a file storage.
    uint32_t change_count = 1;
    // The stamp itself: the identity of the stream.
    const void* owner = nullptr;
    // Low 32 bits of the seconds since 1970-01-01 UTC at construction and at
    // each re-initiation.
    uint32_t time = 0;
};

// Seconds since 1970-01-01 UTC, low 32 bits.
uint32_t stamp_time_now();

}  // namespace vrx
