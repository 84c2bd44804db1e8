#pragma once
// An allocator whose containers leave new elements of trivial types
// uninitialised, for buffers that are written whole right after they grow
// (decoded frames, rendered bitmaps): resize() then costs no pass of zeros.
// Its memory comes in blocks for large buffers (platform/large_block.h).
//
//   std::vector<uint8_t, platform::DefaultInitAllocator<uint8_t>> frame;
//   frame.resize(bytes);   // contents undefined until written
#include <cstddef>
#include <limits>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

#include "platform/large_block.h"

namespace platform {

template <class T>
class DefaultInitAllocator : public std::allocator<T> {
public:
    using value_type = T;
    template <class U>
    struct rebind {
        using other = DefaultInitAllocator<U>;
    };

    DefaultInitAllocator() noexcept = default;
    template <class U>
    DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}

    T* allocate(size_t n) {
        static_assert(alignof(T) <= alignof(std::max_align_t));
        if (n > std::numeric_limits<size_t>::max() / sizeof(T)) throw std::bad_array_new_length();
        void* block = allocate_block(n * sizeof(T), false);
        if (!block) throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* p, size_t n) noexcept { free_block(p, n * sizeof(T)); }

    // Value-less construction default-initialises; any other is the usual.
    template <class U>
    void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        std::allocator_traits<std::allocator<T>>::construct(static_cast<std::allocator<T>&>(*this),
                                                            p, std::forward<Args>(args)...);
    }
};

}  // namespace platform
