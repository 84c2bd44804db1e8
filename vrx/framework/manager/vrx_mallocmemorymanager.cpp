#include "vrx/framework/manager/vrx_mallocmemorymanager.h"

#include <cstdlib>

namespace vrx {

void* VRX_MallocMemoryManager::allocate(size_t bytes) {
    return std::malloc(bytes != 0 ? bytes : 1);
}

void* VRX_MallocMemoryManager::allocate_zeroed(size_t bytes) {
    return std::calloc(bytes != 0 ? bytes : 1, 1);
}

void VRX_MallocMemoryManager::deallocate(void* memory) { std::free(memory); }

}  // namespace vrx
