#pragma once
// The library's vector: a standard vector over the manager's memory whose
// members never throw. A failure inside a member is reported to the manager
// (0x80010000 when memory ran out, 0x80000000 for anything else) with the
// member's name, and the member returns false.
#include <cstddef>
#include <cstdlib>
#include <type_traits>
#include <utility>
#include <vector>

#include "vrx/framework/base/vrx_construct.h"
#include "vrx/framework/base/vrx_utility.h"
#include "vrx/framework/include/vrx_allocator.h"
#include "vrx/framework/include/vrx_failure.h"
#include "vrx/framework/include/vrx_statuscode.h"

namespace vrx {

template <class T>
class VRX_Vector : public VRX_Utility {
public:
    using value_type = T;
    using storage_type = std::vector<T, VRX_Allocator<T>>;
    using iterator = typename storage_type::iterator;
    using const_iterator = typename storage_type::const_iterator;

    explicit VRX_Vector(VRX_Manager* manager) noexcept
        : VRX_Utility(manager), items_(VRX_Allocator<T>(manager)) {}

    // n copies of value; empty (and reported) when they cannot be made.
    VRX_Vector(VRX_Manager* manager, size_t n, const T& value) noexcept : VRX_Vector(manager) {
        assign(n, value);
    }

    // Same manager as the source, copies of its elements (empty and reported
    // when they cannot be made).
    VRX_Vector(const VRX_Vector& other) noexcept : VRX_Vector(other.manager_) { assign(other); }

    VRX_Vector(VRX_Vector&& other) noexcept
        : VRX_Utility(other.manager_), items_(std::move(other.items_)) {}

    ~VRX_Vector() override = default;

    // A vector object made through the manager with n copies of value; null
    // when the object or its elements cannot be made.
    static VRX_Vector* create(VRX_Manager* manager, size_t n, const T& value) noexcept {
        VRX_Vector* vector = construct<VRX_Vector>(manager);
        if (vector && !vector->assign(n, value)) {
            vector->destroy();
            return nullptr;
        }
        return vector;
    }

    // Replaces the contents with copies of other's elements.
    VRX_Vector& operator=(const VRX_Vector& other) noexcept {
        if (this != &other) {
            try {
                items_ = other.items_;
            } catch (...) {
                detail::report_caught(manager_, "VRX_Vector<T>::operator=()", __FILE__, __LINE__);
            }
        }
        return *this;
    }
    VRX_Vector& operator=(VRX_Vector&& other) noexcept {
        if (this != &other) {
            manager_ = other.manager_;
            items_ = std::move(other.items_);
        }
        return *this;
    }

    // Same as operator=, with the outcome.
    bool assign(const VRX_Vector& other) noexcept {
        if (this == &other) return true;
        try {
            items_ = other.items_;
            return true;
        } catch (...) {
            detail::report_caught(manager_, "VRX_Vector<T>::assign()", __FILE__, __LINE__);
            return false;
        }
    }

    // n copies of value.
    bool assign(size_t n, const T& value) noexcept {
        try {
            items_.assign(n, value);
            return true;
        } catch (...) {
            detail::report_caught(manager_, "VRX_Vector<T>::assign()", __FILE__, __LINE__);
            return false;
        }
    }

    size_t size() const noexcept { return items_.size(); }
    bool empty() const noexcept { return items_.empty(); }
    size_t capacity() const noexcept { return items_.capacity(); }

    // Element n. An index at or beyond size() is reported (0x80000000) and the
    // result is a default element that callers must not rely on.
    T& operator[](size_t n) noexcept {
        if (n < items_.size()) return items_[n];
        detail::report(manager_, VRX_ERROR, "VRX_Vector<T>::operator[]()", __FILE__, __LINE__);
        return fallback();
    }
    const T& operator[](size_t n) const noexcept {
        return const_cast<VRX_Vector*>(this)->operator[](n);
    }

    // Element n, or null after reporting "VRX_Vector<T>::at() --- out of range".
    T* at(size_t n) noexcept {
        if (n < items_.size()) return &items_[n];
        detail::report(manager_, VRX_ERROR, "VRX_Vector<T>::at() --- out of range", __FILE__,
                       __LINE__);
        return nullptr;
    }
    const T* at(size_t n) const noexcept { return const_cast<VRX_Vector*>(this)->at(n); }
    // Copies element n into out; false after reporting when n is out of range.
    bool at(size_t n, T& out) const noexcept {
        const T* item = at(n);
        if (!item) return false;
        try {
            out = *item;
            return true;
        } catch (...) {
            detail::report_caught(manager_, "VRX_Vector<T>::at()", __FILE__, __LINE__);
            return false;
        }
    }

    // True when the size grew by exactly one.
    bool push_back(const T& value) noexcept {
        const size_t before = items_.size();
        try {
            items_.push_back(value);
        } catch (...) {
            detail::report_caught(manager_, "VRX_Vector<T>::push_back()", __FILE__, __LINE__);
            return false;
        }
        return items_.size() == before + 1;
    }
    bool push_back(T&& value) noexcept {
        const size_t before = items_.size();
        try {
            items_.push_back(std::move(value));
        } catch (...) {
            detail::report_caught(manager_, "VRX_Vector<T>::push_back()", __FILE__, __LINE__);
            return false;
        }
        return items_.size() == before + 1;
    }

    // Inserts value before element index (index at most size()).
    bool insert(size_t index, const T& value) noexcept {
        if (index > items_.size()) {
            detail::report(manager_, VRX_ERROR, "VRX_Vector<T>::insert()", __FILE__, __LINE__);
            return false;
        }
        try {
            items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), value);
            return true;
        } catch (...) {
            detail::report_caught(manager_, "VRX_Vector<T>::insert()", __FILE__, __LINE__);
            return false;
        }
    }

    // Grows with copies of value or shrinks from the end; true when the size is n.
    bool resize(size_t n, const T& value = T()) noexcept {
        try {
            items_.resize(n, value);
        } catch (...) {
            detail::report_caught(manager_, "VRX_Vector<T>::resize()", __FILE__, __LINE__);
            return false;
        }
        return items_.size() == n;
    }

    // Capacity at least n.
    bool reserve(size_t n) noexcept {
        try {
            items_.reserve(n);
            return true;
        } catch (...) {
            detail::report_caught(manager_, "VRX_Vector<T>::reserve()", __FILE__, __LINE__);
            return false;
        }
    }

    // Removes the elements [first, last); a range outside the vector is refused.
    bool erase(size_t first, size_t last) noexcept {
        if (first > last || last > items_.size()) {
            detail::report(manager_, VRX_ERROR, "VRX_Vector<T>::erase()", __FILE__, __LINE__);
            return false;
        }
        try {
            items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(first),
                         items_.begin() + static_cast<std::ptrdiff_t>(last));
            return true;
        } catch (...) {
            detail::report_caught(manager_, "VRX_Vector<T>::erase()", __FILE__, __LINE__);
            return false;
        }
    }
    bool erase(size_t index) noexcept { return erase(index, index + 1); }

    void pop_back() noexcept {
        if (!items_.empty()) items_.pop_back();
    }
    void clear() noexcept { items_.clear(); }
    void swap(VRX_Vector& other) noexcept {
        std::swap(manager_, other.manager_);
        items_.swap(other.items_);
    }

    T* data() noexcept { return items_.data(); }
    const T* data() const noexcept { return items_.data(); }
    T& front() noexcept { return (*this)[0]; }
    const T& front() const noexcept { return (*this)[0]; }
    T& back() noexcept { return (*this)[items_.empty() ? 0 : items_.size() - 1]; }
    const T& back() const noexcept { return (*this)[items_.empty() ? 0 : items_.size() - 1]; }

    iterator begin() noexcept { return items_.begin(); }
    iterator end() noexcept { return items_.end(); }
    const_iterator begin() const noexcept { return items_.begin(); }
    const_iterator end() const noexcept { return items_.end(); }

private:
    // What element access gives after an index violation: a default element
    // of this thread, reset at every violation.
    static T& fallback() noexcept {
        if constexpr (std::is_default_constructible_v<T> && std::is_nothrow_move_assignable_v<T>) {
            thread_local T element{};
            element = T();
            return element;
        } else if constexpr (std::is_constructible_v<T, VRX_Manager*> &&
                             std::is_nothrow_move_assignable_v<T>) {
            thread_local T element(static_cast<VRX_Manager*>(nullptr));
            element = T(static_cast<VRX_Manager*>(nullptr));
            return element;
        } else {
            static_assert(
                std::is_default_constructible_v<T> || std::is_constructible_v<T, VRX_Manager*>,
                "VRX_Vector elements need a default or a manager-only constructor");
            std::abort();
        }
    }

    storage_type items_;
};

}  // namespace vrx
