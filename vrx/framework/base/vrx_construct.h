#pragma once
// Making and unmaking library objects in memory drawn from a manager.
#include <new>
#include <utility>

#include "vrx/framework/include/vrx_failure.h"

namespace vrx {

// Allocates a T through the manager and constructs it as T(manager, args...).
// Null when the memory cannot be had (the manager has reported it).
// Constructors of library classes do not throw.
template <class T, class... Args>
T* construct(VRX_Manager* manager, Args&&... args) {
    void* memory = detail::allocate(manager, sizeof(T));
    if (!memory) return nullptr;
    return ::new (memory) T(manager, std::forward<Args>(args)...);
}

// Runs the (virtual) destructor of an object and returns its memory through
// the manager; the complete object's address is freed whatever base the
// pointer names.
template <class T>
void dispose(VRX_Manager* manager, T* object) {
    if (!object) return;
    void* memory = dynamic_cast<void*>(object);
    object->~T();
    detail::deallocate(manager, memory);
}

}  // namespace vrx
