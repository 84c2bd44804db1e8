#pragma once
// A counted owner of one library object. The count is a word drawn from the
// object's manager; counting is atomic, so owners may be copied and released
// on several threads. The last owner to go destroys the object.
#include <atomic>
#include <cstdint>
#include <new>

#include "vrx/framework/include/vrx_failure.h"

namespace vrx {

// T is a library class with manager() and destroy() (a utility or an object).
template <class T>
class VRX_SharedOwner {
public:
    VRX_SharedOwner() noexcept = default;
    // Owns object with a count of 1. When the count cannot be allocated the
    // owner holds the object without a count and never destroys it; test
    // counted() and destroy the object yourself in that case.
    explicit VRX_SharedOwner(T* object) noexcept : object_(object) {
        if (!object_) return;
        void* memory = detail::allocate(object_->manager(), sizeof(Count));
        if (memory) count_ = ::new (memory) Count(1);
    }
    VRX_SharedOwner(const VRX_SharedOwner& other) noexcept
        : object_(other.object_), count_(other.count_) {
        if (count_) count_->fetch_add(1, std::memory_order_relaxed);
    }
    VRX_SharedOwner(VRX_SharedOwner&& other) noexcept
        : object_(other.object_), count_(other.count_) {
        other.object_ = nullptr;
        other.count_ = nullptr;
    }
    VRX_SharedOwner& operator=(const VRX_SharedOwner& other) noexcept {
        if (this == &other) return *this;
        if (other.count_) other.count_->fetch_add(1, std::memory_order_relaxed);
        T* old_object = object_;
        Count* old_count = count_;
        object_ = other.object_;
        count_ = other.count_;
        release(old_object, old_count);
        return *this;
    }
    VRX_SharedOwner& operator=(VRX_SharedOwner&& other) noexcept {
        if (this == &other) return *this;
        T* old_object = object_;
        Count* old_count = count_;
        object_ = other.object_;
        count_ = other.count_;
        other.object_ = nullptr;
        other.count_ = nullptr;
        release(old_object, old_count);
        return *this;
    }
    ~VRX_SharedOwner() { release(object_, count_); }

    // Drops this owner's reference; the owner is empty afterwards.
    void release() noexcept {
        T* object = object_;
        Count* count = count_;
        object_ = nullptr;
        count_ = nullptr;
        release(object, count);
    }

    T* get() const noexcept { return object_; }
    T* operator->() const noexcept { return object_; }
    T& operator*() const noexcept { return *object_; }
    explicit operator bool() const noexcept { return object_ != nullptr; }
    // True when the object is counted (its count could be allocated).
    bool counted() const noexcept { return count_ != nullptr; }
    uint32_t use_count() const noexcept {
        return count_ ? count_->load(std::memory_order_acquire) : 0;
    }

private:
    using Count = std::atomic<uint32_t>;

    static void release(T* object, Count* count) noexcept {
        if (!count) return;
        if (count->fetch_sub(1, std::memory_order_acq_rel) != 1) return;
        auto* manager = object->manager();
        count->~Count();
        detail::deallocate(manager, count);
        object->destroy();
    }

    T* object_ = nullptr;
    Count* count_ = nullptr;
};

}  // namespace vrx
