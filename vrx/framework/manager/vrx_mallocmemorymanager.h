#pragma once
// Memory from the C heap.
#include "vrx/framework/manager/vrx_memorymanager.h"

namespace vrx {

class VRX_MallocMemoryManager : public VRX_MemoryManager {
public:
    void* allocate(size_t bytes) override;
    // calloc: large blocks come as untouched zero pages.
    void* allocate_zeroed(size_t bytes) override;
    void deallocate(void* memory) override;
};

}  // namespace vrx
