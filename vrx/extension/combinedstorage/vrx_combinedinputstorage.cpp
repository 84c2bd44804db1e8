#include "vrx/extension/combinedstorage/vrx_combinedinputstorage.h"

#include "vrx/framework/io/vrx_storagefactory.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_CombinedInputStorage* VRX_CombinedInputStorage::create(
    VRX_Manager* manager, const VRX_Vector<VRX_InputStorage*>& parts) {
    VRX_Vector<uint32_t> limits(manager);
    for (VRX_InputStorage* part : parts) {
        if (!part || part->is_closed()) {
            manager->report(VRX_ERROR_ARGUMENT, "VRX_CombinedInputStorage::create()", __FILE__, 59);
            return nullptr;
        }
        if (!limits.push_back(static_cast<uint32_t>(part->size()))) return nullptr;
    }
    return make_storage<VRX_CombinedInputStorage>(
        manager, [&](VRX_CombinedInputStorage* s) { return s->initiate(parts, limits); });
}

int32_t VRX_CombinedInputStorage::get() {
    unsigned char byte = 0;
    return read(&byte, 1) == 1 ? byte : -1;
}

int32_t VRX_CombinedInputStorage::read(void* buffer, int32_t n) {
    if (closed_ || n == 0) return 0;
    if (!buffer || n < 0) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_CombinedInputStorage::read()", __FILE__, 125);
        return 0;
    }
    auto* out = static_cast<unsigned char*>(buffer);
    return walk_forward(n, false, [out](VRX_InputStorage* part, int32_t k, int32_t done) {
        return part->read(out + done, k);
    });
}

int32_t VRX_CombinedInputStorage::size() {
    if (closed_) return 0;
    int64_t total = 0;
    for (size_t i = 0; i < parts_.size(); ++i) total += effective_length(i);
    return static_cast<int32_t>(total);
}

}  // namespace vrx
