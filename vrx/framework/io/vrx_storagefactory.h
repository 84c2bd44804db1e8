#pragma once
// The factory pattern of storages: allocate through the manager, construct,
// initiate; on success mark the object initiated and hand it out, else destroy
// it and give null.
#include "vrx/framework/base/vrx_construct.h"

namespace vrx {

template <class T, class Initiate>
T* make_storage(VRX_Manager* manager, Initiate&& initiate) {
    T* storage = construct<T>(manager);
    if (!storage) return nullptr;
    if (!initiate(storage)) {
        storage->destroy();
        return nullptr;
    }
    storage->set_initiated();
    return storage;
}

}  // namespace vrx
