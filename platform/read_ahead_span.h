#pragma once
// How far a read-ahead buffer reads: the whole buffer at first, a little
// after a jump, then eight times more with each fetch that goes on where the
// last one ended, up to the whole buffer again. A reader that takes a few
// bytes here and there (item headers between values it skips) so costs a
// small read each, while one that reads on costs a buffer-sized read per
// buffer.
#include <algorithm>
#include <cstdint>

namespace platform {

class ReadAheadSpan {
public:
    // Bytes fetched at a place that does not follow the last fetch.
    static constexpr uint32_t kAfterJump = 512;

    // Bytes to fetch from `position` into a buffer of `capacity` bytes (at
    // least 1).
    uint32_t Next(int64_t position, uint32_t capacity) const {
        const uint64_t span = end_ < 0             ? capacity
                              : position == end_ ? uint64_t{last_} * 8
                                                 : kAfterJump;
        return static_cast<uint32_t>(std::clamp<uint64_t>(span, 1, std::max<uint32_t>(capacity, 1)));
    }
    // Records a fetch of `bytes` bytes from `position`.
    void Fetched(int64_t position, uint32_t bytes) {
        end_ = position + bytes;
        last_ = std::max(bytes, kAfterJump);
    }
    // Forgets the fetches: the next one is the first.
    void Reset() {
        end_ = -1;
        last_ = kAfterJump;
    }

private:
    int64_t end_ = -1;
    uint32_t last_ = kAfterJump;
};

}  // namespace platform
