#include "vrx/extension/combinedstorage/vrx_combinedstorage.h"

#include <algorithm>

#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_CombinedStorage<VRX_InputStorage>::VRX_CombinedStorage(VRX_Manager* manager)
    : VRX_InputStorage(manager), parts_(manager), limits_(manager) {}

bool VRX_CombinedStorage<VRX_InputStorage>::initiate(const VRX_Vector<VRX_InputStorage*>& parts,
                                                    const VRX_Vector<uint32_t>& limits) {
    const char* function = "VRX_CombinedStorage::initiate()";
    if (parts.empty() || limits.empty() || parts.size() != limits.size()) {
        manager_->report(VRX_ERROR_ARGUMENT, function, __FILE__, 202);
        return false;
    }
    int64_t total = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        VRX_InputStorage* part = parts.data()[i];
        if (!part || part->is_closed() || part->size() < 0) {
            manager_->report(VRX_ERROR_ARGUMENT, function, __FILE__, 219);
            return false;
        }
        const auto limit = static_cast<int32_t>(limits.data()[i]);
        if (limit <= 0) {
            manager_->report(VRX_ERROR_ARGUMENT, function, __FILE__, 226);
            return false;
        }
        total += limit;
    }
    if (total > INT32_MAX) {
        manager_->report(VRX_ERROR_ARGUMENT, function, __FILE__, 237);
        return false;
    }
    if (!parts_.assign(parts) || !limits_.assign(limits)) return false;
    for (VRX_InputStorage* part : parts_)
        if (!depend(part)) return false;
    current_ = 0;
    closed_ = false;
    return true;
}

bool VRX_CombinedStorage<VRX_InputStorage>::terminate() {
    closed_ = true;
    return true;
}

int32_t VRX_CombinedStorage<VRX_InputStorage>::effective_length(size_t i) {
    const int64_t size = parts_.data()[i]->size();
    return static_cast<int32_t>(std::clamp<int64_t>(size, 0, limits_.data()[i]));
}

int32_t VRX_CombinedStorage<VRX_InputStorage>::bytes_left(size_t i) {
    return std::max(effective_length(i) - parts_.data()[i]->position(), 0);
}

int32_t VRX_CombinedStorage<VRX_InputStorage>::position() {
    if (closed_) return 0;
    int64_t total = 0;
    for (int32_t i = 0; i < current_; ++i) total += effective_length(static_cast<size_t>(i));
    total += parts_.data()[current_]->position();
    return static_cast<int32_t>(std::clamp<int64_t>(total, 0, INT32_MAX));
}

int32_t VRX_CombinedStorage<VRX_InputStorage>::move(int32_t n) {
    if (closed_ || n == 0) return 0;
    if (n > 0) {
        // A part that has shrunk ends the combined data.
        return walk_forward(n, true, [](VRX_InputStorage* part, int32_t k, int32_t) {
            return part->move(k);
        });
    }
    // Backwards: each earlier part becomes current and is put to its
    // effective end.
    const int32_t entry = current_;
    int32_t total = 0;
    for (int32_t i = entry; i >= 0; --i) {
        VRX_InputStorage* part = parts_.data()[i];
        if (i != entry) {
            current_ = i;
            if (!part->seek_from_begin(effective_length(static_cast<size_t>(i)))) break;
        }
        const int32_t rest = n - total;
        const int32_t back = -part->position();
        if (back <= rest) return total + part->move(rest);
        const int32_t moved = part->move(back);
        total += moved;
        if (moved != back) break;
    }
    return total;
}

bool VRX_CombinedStorage<VRX_InputStorage>::to_begin() {
    if (closed_) return false;
    bool ok = true;
    for (VRX_InputStorage* part : parts_) ok = part->to_begin() && ok;
    current_ = 0;
    return ok;
}

bool VRX_CombinedStorage<VRX_InputStorage>::to_end() {
    if (closed_) return false;
    bool ok = true;
    int32_t shrunk = -1;
    for (size_t i = 0; i < parts_.size(); ++i) {
        VRX_InputStorage* part = parts_.data()[i];
        ok = part->seek_from_begin(effective_length(i)) && ok;
        if (shrunk < 0 && static_cast<int64_t>(part->size()) < limits_.data()[i])
            shrunk = static_cast<int32_t>(i);
    }
    current_ = shrunk >= 0 ? shrunk : static_cast<int32_t>(parts_.size()) - 1;
    return ok;
}

}  // namespace vrx
