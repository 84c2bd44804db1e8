#include "vrx/framework/include/vrx_failure.h"

#include <new>

#include "vrx/framework/manager/vrx_manager.h"

namespace vrx::detail {

void report(VRX_Manager* manager, uint32_t code, const char* function, const char* file,
            uint32_t line) noexcept {
    if (manager) manager->report(code, function, file, line);
}

void report_caught(VRX_Manager* manager, const char* function, const char* file,
                   uint32_t line) noexcept {
    uint32_t code = VRX_ERROR;
    try {
        throw;
    } catch (const std::bad_alloc&) {
        code = VRX_ERROR_OUT_OF_MEMORY;
    } catch (...) {
    }
    report(manager, code, function, file, line);
}

void* allocate(VRX_Manager* manager, size_t bytes) noexcept {
    return manager ? manager->allocate(bytes) : nullptr;
}

void deallocate(VRX_Manager* manager, void* memory) noexcept {
    if (manager) manager->deallocate(memory);
}

}  // namespace vrx::detail
