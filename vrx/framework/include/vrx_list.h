#pragma once
// The library's doubly linked list: every node comes from the manager. Members
// that allocate never throw; a failure is reported (0x80010000 when memory ran
// out) and the member returns false.
#include <list>
#include <utility>

#include "vrx/framework/base/vrx_utility.h"
#include "vrx/framework/include/vrx_allocator.h"
#include "vrx/framework/include/vrx_failure.h"

namespace vrx {

template <class T>
class VRX_List : public VRX_Utility {
public:
    using value_type = T;
    using storage_type = std::list<T, VRX_Allocator<T>>;
    using iterator = typename storage_type::iterator;
    using const_iterator = typename storage_type::const_iterator;

    explicit VRX_List(VRX_Manager* manager) noexcept
        : VRX_Utility(manager), items_(VRX_Allocator<T>(manager)) {}
    VRX_List(const VRX_List&) = delete;
    VRX_List& operator=(const VRX_List&) = delete;
    ~VRX_List() override = default;

    bool push_back(const T& value) noexcept {
        try {
            items_.push_back(value);
            return true;
        } catch (...) {
            detail::report_caught(manager_, "VRX_List<T>::push_back()", __FILE__, __LINE__);
            return false;
        }
    }
    bool push_front(const T& value) noexcept {
        try {
            items_.push_front(value);
            return true;
        } catch (...) {
            detail::report_caught(manager_, "VRX_List<T>::push_front()", __FILE__, __LINE__);
            return false;
        }
    }

    // The first node holding value, or end().
    iterator find(const T& value) noexcept {
        for (auto it = items_.begin(); it != items_.end(); ++it)
            if (*it == value) return it;
        return items_.end();
    }
    // Unlinks the first node holding value; false when there is none.
    bool remove_first(const T& value) noexcept {
        auto it = find(value);
        if (it == items_.end()) return false;
        items_.erase(it);
        return true;
    }
    iterator erase(iterator it) noexcept { return items_.erase(it); }
    void pop_front() noexcept {
        if (!items_.empty()) items_.pop_front();
    }
    void clear() noexcept { items_.clear(); }

    size_t size() const noexcept { return items_.size(); }
    bool empty() const noexcept { return items_.empty(); }
    // First and last element; the list must not be empty.
    T& front() noexcept { return items_.front(); }
    const T& front() const noexcept { return items_.front(); }
    T& back() noexcept { return items_.back(); }
    const T& back() const noexcept { return items_.back(); }

    iterator begin() noexcept { return items_.begin(); }
    iterator end() noexcept { return items_.end(); }
    const_iterator begin() const noexcept { return items_.begin(); }
    const_iterator end() const noexcept { return items_.end(); }

private:
    storage_type items_;
};

}  // namespace vrx
