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

}  // namespace vrx
