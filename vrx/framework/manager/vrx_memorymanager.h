#pragma once
// Memory interface of a manager.
#include <cstddef>
#include <cstring>

namespace vrx {

class VRX_MemoryManager {
public:
    // Memory of at least `bytes` bytes, or null.
    virtual void* allocate(size_t bytes) = 0;
    // Zero-filled memory of at least `bytes` bytes, or null. A memory that
    // can hand out pages the system zeroes when they are first touched
    // overrides this, so that a large block costs only what is written.
    virtual void* allocate_zeroed(size_t bytes) {
        void* memory = allocate(bytes);
        if (memory) std::memset(memory, 0, bytes);
        return memory;
    }
    // Gives memory back; null is accepted.
    virtual void deallocate(void* memory) = 0;
    virtual ~VRX_MemoryManager() = default;
};

}  // namespace vrx
