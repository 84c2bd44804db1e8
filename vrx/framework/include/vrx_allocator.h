#pragma once
// Standard-library allocator over a manager's memory. A failed allocation is
// raised as VRX_AllocationFailure (a std::bad_alloc); the library's containers
// catch it and report it, so it never leaves the library.
#include <cstddef>
#include <limits>
#include <new>
#include <type_traits>

#include "vrx/framework/include/vrx_failure.h"

namespace vrx {

class VRX_AllocationFailure : public std::bad_alloc {
public:
    const char* what() const noexcept override {
        return "VRX_Allocator::allocate() - Cannot allocate memory from VRX_Manager\n";
    }
};

template <class T>
class VRX_Allocator {
public:
    using value_type = T;
    using propagate_on_container_move_assignment = std::true_type;
    using propagate_on_container_swap = std::true_type;
    using propagate_on_container_copy_assignment = std::false_type;
    using is_always_equal = std::false_type;

    explicit VRX_Allocator(VRX_Manager* manager) noexcept : manager_(manager) {}
    template <class U>
    VRX_Allocator(const VRX_Allocator<U>& other) noexcept : manager_(other.manager()) {}

    T* allocate(size_t n) {
        if (n > std::numeric_limits<size_t>::max() / sizeof(T)) throw VRX_AllocationFailure();
        void* memory = detail::allocate(manager_, n * sizeof(T));
        if (!memory) throw VRX_AllocationFailure();
        return static_cast<T*>(memory);
    }
    void deallocate(T* p, size_t) noexcept { detail::deallocate(manager_, p); }

    VRX_Manager* manager() const noexcept { return manager_; }

    template <class U>
    bool operator==(const VRX_Allocator<U>& other) const noexcept {
        return manager_ == other.manager();
    }

private:
    VRX_Manager* manager_;
};

}  // namespace vrx
