#include "platform/large_block.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace platform {

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMapLargeBlocks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMapLargeBlocks = false;
#else
constexpr bool kMapLargeBlocks = true;
#endif
#else
constexpr bool kMapLargeBlocks = true;
#endif

constexpr size_t kHugePage = size_t{2} << 20;

bool mapped(size_t bytes) {
    return kMapLargeBlocks && bytes >= kLargeBlockBytes;
}

// The block starts on a 2 MiB boundary: the mapping is made that much
// larger and what lies outside the block is given back.
void* map_block(size_t bytes) {
    if (bytes > SIZE_MAX - kHugePage) return nullptr;
    void* area = mmap(nullptr, bytes + kHugePage, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED) return nullptr;
    const uintptr_t start = reinterpret_cast<uintptr_t>(area);
    const uintptr_t block = (start + kHugePage - 1) & ~uintptr_t{kHugePage - 1};
    const uintptr_t end = start + bytes + kHugePage;
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t blockEnd = (block + bytes + page - 1) & ~uintptr_t{page - 1};
    if (block > start) munmap(area, block - start);
    if (end > blockEnd) munmap(reinterpret_cast<void*>(blockEnd), end - blockEnd);
    // Advice only: without it the block is as good, in small pages.
    madvise(reinterpret_cast<void*>(block), blockEnd - block, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(block);
}

}  // namespace

void* allocate_block(size_t bytes, bool zero) {
    if (mapped(bytes)) return map_block(bytes);
    const size_t size = bytes ? bytes : 1;
    return zero ? std::calloc(size, 1) : std::malloc(size);
}

void free_block(void* block, size_t bytes) {
    if (!block) return;
    if (mapped(bytes)) {
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        munmap(block, (bytes + page - 1) & ~(page - 1));
    } else {
        std::free(block);
    }
}

}  // namespace platform
