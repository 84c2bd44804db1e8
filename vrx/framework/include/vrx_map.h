#pragma once
// The library's ordered map: every node comes from the manager. Members that
// allocate never throw; a failure is reported (0x80010000 when memory ran out)
// and the member returns false.
#include <functional>
#include <map>
#include <utility>

#include "vrx/framework/base/vrx_utility.h"
#include "vrx/framework/include/vrx_allocator.h"
#include "vrx/framework/include/vrx_failure.h"

namespace vrx {

template <class K, class V, class Less = std::less<K>>
class VRX_Map : public VRX_Utility {
public:
    using key_type = K;
    using mapped_type = V;
    using value_type = std::pair<const K, V>;
    using storage_type = std::map<K, V, Less, VRX_Allocator<value_type>>;
    using iterator = typename storage_type::iterator;
    using const_iterator = typename storage_type::const_iterator;

    explicit VRX_Map(VRX_Manager* manager) noexcept
        : VRX_Utility(manager), items_(Less(), VRX_Allocator<value_type>(manager)) {}
    VRX_Map(const VRX_Map&) = delete;
    VRX_Map& operator=(const VRX_Map&) = delete;
    ~VRX_Map() override = default;

    // Adds (key, value); true only when the key was not there yet and the node
    // could be made.
    bool insert(const K& key, const V& value) noexcept {
        try {
            return items_.emplace(key, value).second;
        } catch (...) {
            detail::report_caught(manager_, "VRX_Map<K,V>::insert()", __FILE__, __LINE__);
            return false;
        }
    }

    // The value stored under key, or null.
    V* get(const K& key) noexcept {
        auto it = items_.find(key);
        return it == items_.end() ? nullptr : &it->second;
    }
    const V* get(const K& key) const noexcept {
        auto it = items_.find(key);
        return it == items_.end() ? nullptr : &it->second;
    }
    bool contains(const K& key) const noexcept { return items_.find(key) != items_.end(); }

    iterator find(const K& key) noexcept { return items_.find(key); }
    const_iterator find(const K& key) const noexcept { return items_.find(key); }
    iterator erase(iterator it) noexcept { return items_.erase(it); }
    // Removes the entry of key; false when there is none.
    bool erase(const K& key) noexcept { return items_.erase(key) != 0; }
    void clear() noexcept { items_.clear(); }

    size_t size() const noexcept { return items_.size(); }
    bool empty() const noexcept { return items_.empty(); }

    iterator begin() noexcept { return items_.begin(); }
    iterator end() noexcept { return items_.end(); }
    const_iterator begin() const noexcept { return items_.begin(); }
    const_iterator end() const noexcept { return items_.end(); }

private:
    storage_type items_;
};

}  // namespace vrx
