#pragma once
// Reporting helpers shared by the library's templates, which only know the
// manager by a forward declaration.
#include <cstddef>
#include <cstdint>

namespace vrx {

class VRX_Manager;

namespace detail {

// Reports through the manager's error handler (nothing without a manager).
void report(VRX_Manager* manager, uint32_t code, const char* function, const char* file,
            uint32_t line) noexcept;

// Called inside a catch handler: reports the exception being handled, an
// allocation failure as 0x80010000 and anything else as 0x80000000.
void report_caught(VRX_Manager* manager, const char* function, const char* file,
                   uint32_t line) noexcept;

// The manager's memory (null without a manager or memory).
void* allocate(VRX_Manager* manager, size_t bytes) noexcept;
void deallocate(VRX_Manager* manager, void* memory) noexcept;

}  // namespace detail
}  // namespace vrx
