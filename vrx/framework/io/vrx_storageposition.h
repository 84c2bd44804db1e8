#pragma once
// Position arithmetic shared by the storages, in 64 bits so that no sum of
// 32-bit positions and counts can overflow.
#include <algorithm>
#include <cstdint>

namespace vrx {

// Moves `position` by n inside [0, limit] and gives the distance moved. From
// a place beyond the limit a move never goes farther than asked nor against
// its direction.
inline int32_t move_within(int32_t& position, int32_t n, int32_t limit) {
    const int64_t target =
        std::clamp<int64_t>(int64_t{position} + n, 0, std::max(limit, position));
    const int32_t moved = static_cast<int32_t>(target - position);
    position = static_cast<int32_t>(target);
    return moved;
}

// n limited to [0, limit - position] (never negative).
inline int32_t count_within(int32_t position, int32_t n, int32_t limit) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(n, 0, std::max<int64_t>(0, int64_t{limit} - position)));
}

// Bytes from begin to end when both are set and the span is a positive size
// a storage can have, else 0.
inline int32_t span_bytes(const void* begin, const void* end) {
    const auto* first = static_cast<const unsigned char*>(begin);
    const auto* last = static_cast<const unsigned char*>(end);
    const int64_t length = (first && last) ? last - first : 0;
    return (length > 0 && length <= INT32_MAX) ? static_cast<int32_t>(length) : 0;
}

// Moves `storage`, standing at `from`, to the absolute position `to`; a move
// that falls short is undone. True when it got there.
template <class S>
bool move_storage(S* storage, int32_t from, int32_t to) {
    const int64_t distance = int64_t{to} - from;
    const int32_t moved = storage->move(static_cast<int32_t>(distance));
    if (moved == distance) return true;
    storage->move(-moved);
    return false;
}

}  // namespace vrx
