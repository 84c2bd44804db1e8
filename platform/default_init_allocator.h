#pragma once
// An allocator whose containers leave new elements of trivial types
// uninitialised, for buffers that are written whole right after they grow
// (decoded frames, rendered bitmaps): resize() then costs no pass of zeros.
//
//   std::vector<uint8_t, platform::DefaultInitAllocator<uint8_t>> frame;
//   frame.resize(bytes);   // contents undefined until written
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

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
