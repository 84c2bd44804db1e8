#include "vrx/framework/manager/vrx_dependmap.h"

#include "vrx/framework/base/vrx_construct.h"
#include "vrx/framework/base/vrx_object.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_DependMap::VRX_DependMap(VRX_Manager* manager)
    : manager_(manager), dependencies_(manager), counts_(manager) {}

bool VRX_DependMap::depend(VRX_Object* object, VRX_Object* on) {
    if (!object || !on || object == on) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_DependMap::depend()", __FILE__, __LINE__);
        return false;
    }
    uint32_t index = 0;
    while (dependencies_.contains(KeyType{object, index})) ++index;
    if (!dependencies_.insert(KeyType{object, index}, on)) return false;
    if (uint32_t* count = counts_.get(on)) {
        ++*count;
        return true;
    }
    if (counts_.insert(on, 1)) return true;
    dependencies_.erase(KeyType{object, index});
    return false;
}

bool VRX_DependMap::end(VRX_Object* object) {
    if (!object) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_DependMap::end()", __FILE__, __LINE__);
        return false;
    }
    if (auto it = counts_.find(object); it != counts_.end()) {
        if (it->second != 1)
            --it->second;
        else
            counts_.erase(it);
        return true;
    }
    bool ok = object->terminate();
    dispose(manager_, object);
    for (uint32_t index = 0;; ++index) {
        auto it = dependencies_.find(KeyType{object, index});
        if (it == dependencies_.end()) break;
        VRX_Object* on = it->second;
        dependencies_.erase(it);
        ok = end(on) && ok;
    }
    return ok;
}

uint32_t VRX_DependMap::count(VRX_Object* object) const {
    const uint32_t* count = counts_.get(object);
    return count ? *count : 0;
}

}  // namespace vrx
