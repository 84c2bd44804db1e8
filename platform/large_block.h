#pragma once
// Memory for large buffers: decoded frames and rendered pictures. A block
// of kLargeBlockBytes or more is mapped from the system on its own, zeroed,
// and offered to the kernel for 2 MiB pages, so that writing it takes one
// page fault per 2 MiB instead of one per 4 KiB; smaller blocks come from
// malloc. Builds with the address sanitizer take every block from malloc,
// where the sanitizer watches its bounds.
//
//   void* frame = platform::allocate_block(bytes, false);
//   ...
//   platform::free_block(frame, bytes);
#include <cstddef>

namespace platform {

inline constexpr size_t kLargeBlockBytes = size_t{4} << 20;

// Null when memory runs out. `zero`: the block reads as zeros (large blocks
// always do).
void* allocate_block(size_t bytes, bool zero);
// `bytes` as allocated; null is ignored.
void free_block(void* block, size_t bytes);

}  // namespace platform
