#pragma once
// Memory interface of a manager.
#include <cstddef>

namespace vrx {

class VRX_MemoryManager {
public:
    // Memory of at least `bytes` bytes, or null.
    virtual void* allocate(size_t bytes) = 0;
    // Gives memory back; null is accepted.
    virtual void deallocate(void* memory) = 0;
    virtual ~VRX_MemoryManager() = default;
};

}  // namespace vrx
